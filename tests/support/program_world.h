#pragma once
// A whole program for window tests: a temporary catalogue, recorded messages, scripted
// dialogs, the main window shown; and the helpers that find controls and grid rows by name
// and accept a beam in its editor as the user does. Every window's header comes with it.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/start_window.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/state/session.h"
#include "qcustomplot.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/data_widgets.h"
#include "ui/dialogs.h"
#include "user_input.h"
#include "windows/catalogue/circ_beam_window.h"
#include "windows/catalogue/single_pass_beam_window.h"
#include "windows/coherent/form_factor_window.h"
#include "windows/coherent/transition_radiation_window.h"
#include "windows/numerics/bessel_window.h"
#include "windows/plot/graph_window.h"
#include "windows/plot/line_graph_window.h"
#include "windows/sources/bending_magnet_window.h"
#include "windows/sources/single_pass_undulator_window.h"
#include "windows/sources/undulator_window.h"
#include "windows/sources/wiggler_window.h"
#include "windows/spectra/line_spectrum_window.h"
#include "windows/spectra/synchrotron_spectrum_window.h"
#include "windows/spectra/undulator_flux_window.h"

namespace lumerad::worldtest {

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

// The row whose first column holds the text, else the first row holding it in any column.
inline int rowOf(DBGrid* grid, const QString& text) {
    for (int r = 0; r < grid->table().rowCount(); ++r)
        if (cellText(grid, r, 0).trimmed() == text) return r;
    for (int r = 0; r < grid->table().rowCount(); ++r)
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (cellText(grid, r, c).trimmed() == text) return r;
    qFatal("no row %s", qPrintable(text));
    return -1;
}

// The text of an edit field or a label.
inline QString textOf(QWidget* w, const char* name) {
    if (auto* e = w->findChild<QLineEdit*>(QString::fromLatin1(name))) return e->text();
    return child<QLabel>(w, name)->text();
}

// Runs the statements on a catalogue file as another program would; the first column of the
// last one's rows.
inline QStringList runSql(const QString& file, const QStringList& statements) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
        db.setDatabaseName(file);
        if (!db.open()) qFatal("cannot open %s", qPrintable(file));
        QSqlQuery q(db);
        for (const QString& st : statements)
            if (!q.exec(st)) qFatal("%s", qPrintable(st));
        while (q.next()) rows << q.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    return rows;
}

// The program's window of that objectName.
inline QWidget* topWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name)) return w;
    qFatal("no window %s", name);
    return nullptr;
}

// Presses a button as the user can: only a visible, enabled button reacts.
inline bool press(QWidget* w, const char* name) {
    auto* b = w->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!b || !b->isVisibleTo(w->window()) || !b->isEnabled()) return false;
    b->click();
    return true;
}

// Clicks a button that must be there, visible and enabled, as the user can.
inline void click(QWidget* w, const char* name) { QVERIFY2(press(w, name), name); }

inline QString sourceDataFile() { return QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"); }

// The program on a catalogue in dir and the table of functions (of the source tree unless told
// otherwise), its main window shown.
inline std::unique_ptr<Program> startProgram(const QTemporaryDir& dir, Messages& messages, Dialogs& dialogs,
                                             const QString& data = sourceDataFile()) {
    ProgramOptions o;
    o.catalogueFile = dir.filePath("catalogue.sqlite");
    o.dataFile = data;
    auto program = std::make_unique<Program>(messages, dialogs, o);
    program->windows().start->show();
    return program;
}

// Opens the circulating-beam (or single-pass beam) editor from the main window, picks the beam
// and accepts it, as the user does.
inline void acceptBeam(Windows& w, const QString& name, bool linac = false) {
    child<QAbstractButton>(w.start, linac ? "BtSPB" : "BtCB")->click();
    auto* grid = linac ? child<DBGrid>(w.spbeam, "SPGrid") : w.cbeam->findChild<DBGrid*>();
    clickRow(grid, rowOf(grid, name));
    child<QAbstractButton>(linac ? static_cast<QWidget*>(w.spbeam) : w.cbeam, "bbAccept")->click();
}

struct ProgramWorld {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    explicit ProgramWorld(const QString& data = sourceDataFile()) {
        program = startProgram(dir, messages, dialogs, data);
    }
    // Ends the program and starts it again on the same catalogue.
    void restart() {
        program.reset();
        program = startProgram(dir, messages, dialogs);
    }
    Windows& w() { return program->windows(); }
    Session& session() { return program->session(); }
    TSRModule& module() { return program->module(); }
    AppContext& ctx() { return program->ctx(); }
    QString catalogue() const { return dir.filePath(QStringLiteral("catalogue.sqlite")); }
    std::vector<std::string> texts() const { return messages.texts(); }
    std::string lastText() const { return messages.log.empty() ? std::string() : messages.log.back().text; }
    int errorCount() const {
        return int(std::count_if(messages.log.begin(), messages.log.end(),
                                 [](const auto& e) { return e.kind == RecordingMessages::Entry::Error; }));
    }
    QStringList cliCatalogue() const {
        return {QStringLiteral("--catalogue"), catalogue(), QStringLiteral("--data"), sourceDataFile()};
    }

    void acceptRing(const QString& name) { acceptBeam(w(), name); }
    void acceptLinac(const QString& name) { acceptBeam(w(), name, true); }
};

// Where the typical request stands after "recalculate": Diamond accepted, "bend magnet"
// pressed, the 1.4 T dipole picked and the results computed.
struct BendWorld : ProgramWorld {
    BendWorld() {
        acceptRing(QStringLiteral("Diamond"));
        buttonByText(w().start, QStringLiteral("bend magnet"))->click();
        auto* grid = child<DBGrid>(w().synRad, "DBGrid1");
        clickRow(grid, rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QAbstractButton>(w().synRad, "tbRecalc")->click();
    }
};

// A linac accepted in the single-pass editor: FLASH is 1250 MeV, 31.2e8 electrons, 800 bunches
// of 200 fs, Gaussian, 10 Hz.
struct LinacWorld : ProgramWorld {
    explicit LinacWorld(const char* linac = "FLASH") { acceptLinac(QString::fromLatin1(linac)); }
};

}  // namespace lumerad::worldtest
