#pragma once
// A whole program for the single-pass window tests: a temporary catalogue, the main window
// shown, and the FLASH linac (1250 MeV, 31.2e8 electrons, 800 bunches of 200 fs, Gaussian,
// 10 Hz) chosen and accepted in the single-pass beam editor.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/program.h"
#include "app/start_window.h"
#include "catalogue/data_widgets.h"
#include "catalogue/session.h"
#include "catalogue/single_pass_beam_window.h"
#include "catalogue/table.h"
#include "catalogue/tsr_module.h"
#include "numerics/messages.h"
#include "plot/graph_window.h"
#include "ui/dialogs.h"

namespace lumerad::lintest {

template <class T = QWidget>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s in %s", name, qPrintable(w->objectName()));
    return c;
}

inline int rowOf(DBGrid* grid, const QString& text) {
    for (int r = 0; r < grid->table().rowCount(); ++r)
        if (grid->cellText(r, 0).trimmed() == text) return r;
    qFatal("no row %s", qPrintable(text));
    return -1;
}

inline void click(QWidget* w, const char* name) {
    auto* b = child<QAbstractButton>(w, name);
    QVERIFY2(b->isVisibleTo(w) && b->isEnabled(), name);
    b->click();
}

inline QString textOf(QWidget* w, const char* name) {
    if (auto* e = w->findChild<QLineEdit*>(QString::fromLatin1(name))) return e->text();
    return child<QLabel>(w, name)->text();
}

struct World {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    explicit World(const char* linac = "FLASH") {
        ProgramOptions o;
        o.catalogueFile = dir.filePath("catalogue.sqlite");
        o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
        program = std::make_unique<Program>(messages, dialogs, o);
        Windows& w = program->windows();
        w.start->show();
        click(w.start, "BtSPB");
        auto* grid = child<DBGrid>(w.spbeam, "SPGrid");
        grid->clickRow(rowOf(grid, QString::fromLatin1(linac)));
        click(w.spbeam, "bbAccept");
    }
    Windows& w() { return program->windows(); }
    Session& session() { return program->session(); }
    TSRModule& module() { return program->module(); }
    std::vector<std::string> texts() const { return messages.texts(); }
};

}  // namespace lumerad::lintest
