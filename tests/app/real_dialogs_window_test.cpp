// The program with its real message boxes and non-native file dialogs, answered by a timer
// (tests/support/real_dialogs.h): the sequences that used to end the program or raise a
// false alarm because a nested event loop or the dialog's own code was involved.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "../support/program_world.h"
#include "../support/real_dialogs.h"
#include "app/program.h"
#include "app/start_window.h"
#include "catalogue/circ_beam_window.h"
#include "catalogue/data_widgets.h"
#include "catalogue/table.h"
#include "catalogue/tsr_module.h"
#include "plot/graph_window.h"
#include "sources/bending_magnet_window.h"
#include "spectra/synchrotron_spectrum_window.h"

using namespace lumerad;
using lumerad::testing::RealDialogs;
using namespace lumerad::worldtest;

namespace {

// Clears a field and types into it as the user does: focus, select all, keys.
void retype(QLineEdit* e, const QString& text) {
    e->window()->activateWindow();
    e->setFocus();
    QTest::qWait(20);
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}

struct RealWorld {
    QTemporaryDir dir;
    RealDialogs real;
    std::unique_ptr<Program> program;

    RealWorld() {
        ProgramOptions o;
        o.catalogueFile = dir.filePath("catalogue.sqlite");
        o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
        program = std::make_unique<Program>(real.messages, real.dialogs, o);
        w().start->show();
        QVERIFY2(QTest::qWaitForWindowExposed(w().start), "main window");
    }
    Windows& w() { return program->windows(); }

    // Accept Diamond, "bend magnet", pick the 1.4 T dipole, "recalculate".
    void typicalRequest() {
        buttonByText(w().start, QStringLiteral("circulating beam"))->click();
        auto* ringGrid = w().cbeam->findChild<DBGrid*>();
        ringGrid->clickRow(rowOf(ringGrid, QStringLiteral("Diamond")));
        child<QAbstractButton>(w().cbeam, "bbAccept")->click();
        buttonByText(w().start, QStringLiteral("bend magnet"))->click();
        auto* grid = child<DBGrid>(w().synRad, "DBGrid1");
        grid->clickRow(rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QAbstractButton>(w().synRad, "tbRecalc")->click();
        QTest::qWait(50);
    }

    // "spectrum", then "show graph" in the spectrum window.
    void showGraph(bool saveFile) {
        child<QAbstractButton>(w().synRad, "tbSpectrum")->click();
        QTest::qWait(50);
        child<QCheckBox>(w().synSpectrum, "cbSave")->setChecked(saveFile);
        child<QAbstractButton>(w().synSpectrum, "bbShowGraph")->click();
        QTest::qWait(50);
    }
};

}  // namespace

class RealDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // A field of 0 T and "recalculate": the error box opens, the field loses the focus to
    // it and finishes its editing inside the box's event loop, which starts a second action
    // that fails too. Both report; the program goes on.
    void zeroFieldThenRecalculate() {
        RealWorld world;
        world.typicalRequest();
        QVERIFY(world.real.boxes.empty());
        auto* field = child<QLineEdit>(world.w().synRad, "DBEdtField");
        retype(field, QStringLiteral("0"));
        child<QAbstractButton>(world.w().synRad, "tbRecalc")->click();
        QTest::qWait(100);
        // The field is refused when the edit is posted, the calculation on a zero field
        // divides by zero: which of the two comes first depends on the order of events.
        QVERIFY(!world.real.errors().isEmpty());
        const QStringList allowed = {
            QStringLiteral("Floating point division by zero"),
            QStringLiteral("Field: the magnetic field must be above 0 T and at most 100 T")};
        for (const QString& t : world.real.errors()) QVERIFY2(allowed.contains(t), qPrintable(t));
        // The window still works: a sound field recalculates without a message.
        world.real.boxes.clear();
        retype(field, QStringLiteral("1.4"));
        child<QAbstractButton>(world.w().synRad, "tbRecalc")->click();
        QTest::qWait(100);
        QCOMPARE(world.real.allTexts(), QStringList());
    }

    // A ring's energy set to 0 in the editor and "accept", then "recalculate" in the open
    // bending-magnet window: the press activates the window, whose activation handler
    // fails and opens the error box; the click arrives inside the box's event loop and
    // fails too. Every failure is a message, the program goes on.
    void zeroEnergyAcceptedThenRecalculate() {
        RealWorld world;
        world.typicalRequest();
        world.w().cbeam->showTool();
        QTest::qWait(50);
        retype(child<QLineEdit>(world.w().cbeam, "DBEdtEnergy"), QStringLiteral("0"));
        child<QAbstractButton>(world.w().cbeam, "bbAccept")->click();
        QTest::qWait(100);
        auto* recalc = child<QAbstractButton>(world.w().synRad, "tbRecalc");
        world.real.whileOpen.push_back([recalc] { recalc->click(); });
        world.w().synRad->showTool();
        QTest::qWait(200);
        QVERIFY(world.real.whileOpen.empty());  // the click came while a box was open
        QVERIFY(world.real.errors().size() >= 2);
        QVERIFY(world.w().synRad->isVisible());
        // The zero energy is refused where it is posted and never reaches a calculation.
        const QString refused =
            QStringLiteral("Energy: the beam energy must be above the electron rest energy, 0.000511003 GeV");
        const QString unusable = QStringLiteral("The beam 'Diamond' cannot be used until it is mended: ") +
                                 refused + QLatin1Char('.');
        QCOMPARE(world.real.errors().first(), refused);
        QVERIFY(world.real.errors().contains(unusable));
        for (const QString& t : world.real.errors()) QVERIFY2(t == refused || t == unusable, qPrintable(t));
    }

    // "print graph" / "save as metafile": the dialog's own floating-point flags never
    // become a message; OK writes the file, Cancel writes nothing and says nothing.
    void exportWithDialogFlags() {
        RealWorld world;
        world.real.dirtyFlags = true;
        world.typicalRequest();
        world.showGraph(false);
        RealDialogs::shot(QStringLiteral("graph"));
        QCOMPARE(world.real.allTexts(), QStringList());
        auto* save = world.w().graphs->findChild<QAction*>(QStringLiteral("saveasmetafile1"));
        QVERIFY(save);
        for (const char* suffix : {"wmf", "png", "pdf"}) {
            const QString name = world.dir.filePath(QStringLiteral("chart.") + suffix);
            world.real.files.push_back(name);
            save->trigger();
            QTest::qWait(50);
            QVERIFY2(QFile::exists(name), suffix);
            QVERIFY(QFile(name).size() > 100);
        }
        world.real.files.push_back({});  // Cancel
        save->trigger();
        QTest::qWait(50);
        QCOMPARE(world.real.fileDialogs, 4);
        QCOMPARE(world.real.allTexts(), QStringList());
    }

    // "save spectrum to file" with the real dialog: the file is written, no message.
    void saveSpectrumWithDialogFlags() {
        RealWorld world;
        world.real.dirtyFlags = true;
        world.typicalRequest();
        const QString name = world.dir.filePath(QStringLiteral("spectrum.txt"));
        world.real.files.push_back(name);
        world.showGraph(true);
        QCOMPARE(world.real.fileDialogs, 1);
        QCOMPARE(world.real.allTexts(), QStringList());
        QFile f(name);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().count('\n') > 10);
    }
};

QTEST_MAIN(RealDialogsTest)
#include "real_dialogs_window_test.moc"
