#pragma once
// A whole program for the bending-magnet window tests, brought to the point where the
// typical request stands after "recalculate": Diamond accepted, "bend magnet" pressed, the
// 1.4 T dipole picked and the results computed.
#include <QAbstractButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ui/dialogs.h"
#include "app/program.h"
#include "catalogue/session.h"
#include "app/start_window.h"
#include "catalogue/circ_beam_window.h"
#include "catalogue/data_widgets.h"
#include "catalogue/table.h"
#include "catalogue/tsr_module.h"
#include "numerics/messages.h"
#include "plot/graph_window.h"
#include "sources/bending_magnet_window.h"
#include "spectra/synchrotron_spectrum_window.h"

namespace lumerad::bendtest {

template <class T = QWidget>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s in %s", name, qPrintable(w->objectName()));
    return c;
}

inline QAbstractButton* buttonByText(QWidget* w, const QString& text) {
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    qFatal("no button '%s' in %s", qPrintable(text), qPrintable(w->objectName()));
    return nullptr;
}

inline int rowOf(DBGrid* grid, const QString& text) {
    for (int r = 0; r < grid->table().rowCount(); ++r)
        if (grid->cellText(r, 0).trimmed() == text) return r;
    qFatal("no row %s", qPrintable(text));
    return -1;
}

struct World {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    World() {
        ProgramOptions o;
        o.catalogueFile = dir.filePath("catalogue.sqlite");
        o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
        program = std::make_unique<Program>(messages, dialogs, o);
        Windows& w = program->windows();
        w.start->show();
        buttonByText(w.start, QStringLiteral("circulating beam"))->click();
        auto* ringGrid = w.cbeam->findChild<DBGrid*>();
        ringGrid->clickRow(rowOf(ringGrid, QStringLiteral("Diamond")));
        child<QAbstractButton>(w.cbeam, "bbAccept")->click();
        buttonByText(w.start, QStringLiteral("bend magnet"))->click();
        auto* grid = child<DBGrid>(w.synRad, "DBGrid1");
        grid->clickRow(rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QAbstractButton>(w.synRad, "tbRecalc")->click();
    }
    Windows& w() { return program->windows(); }
    Session& session() { return program->session(); }
    TSRModule& module() { return program->module(); }
    std::vector<std::string> texts() const { return messages.texts(); }
};

}  // namespace lumerad::bendtest
