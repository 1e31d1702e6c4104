// The program with its real message boxes and non-native file dialogs, answered by a timer
// (tests/support/real_dialogs.h): the sequences that used to end the program or raise a
// false alarm because a nested event loop or the dialog's own code was involved.
#include "../support/real_dialogs.h"

#include <QAction>
#include <QDir>
#include <functional>

#include "../support/program_world.h"

using namespace lumerad;
using lumerad::testing::RealDialogs;
using namespace lumerad::worldtest;

namespace {

void pick(QWidget* w, const char* grid, const char* row) {
    auto* g = grid ? child<DBGrid>(w, grid) : w->findChild<DBGrid*>();
    clickRow(g, rowOf(g, QString::fromLatin1(row)));
}
// Types into named fields; a name without text is a check box or radio button to check.
QWidget* fill(QWidget* w, std::initializer_list<std::pair<const char*, const char*>> inputs) {
    for (auto [name, text] : inputs)
        text ? child<QLineEdit>(w, name)->setText(QString::fromLatin1(text))
             : child<QAbstractButton>(w, name)->setChecked(true);
    return w;
}

// Clears a field and types into it as the user does: focus, select all, keys.
void retype(QLineEdit* e, const QString& text) {
    e->window()->activateWindow();
    e->setFocus();
    QTRY_VERIFY(e->hasFocus());
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}

struct RealWorld {
    QTemporaryDir dir;
    RealDialogs real;
    std::unique_ptr<Program> program;

    RealWorld() {
        program = startProgram(dir, real.messages, real.dialogs);
        QVERIFY2(QTest::qWaitForWindowExposed(w().start), "main window");
    }
    Windows& w() { return program->windows(); }

    // Accept Diamond, "bend magnet", pick the 1.4 T dipole, "recalculate".
    void typicalRequest() {
        acceptBeam(w(), QStringLiteral("Diamond"));
        buttonByText(w().start, QStringLiteral("bend magnet"))->click();
        auto* grid = child<DBGrid>(w().synRad, "DBGrid1");
        clickRow(grid, rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QAbstractButton>(w().synRad, "tbRecalc")->click();
        QTRY_COMPARE(child<QLineEdit>(w().synRad, "Ephcrit")->text(), QStringLiteral("8.379"));
    }

    // "spectrum", then "show graph" in the spectrum window.
    void showGraph() {
        child<QAbstractButton>(w().synRad, "tbSpectrum")->click();
        QTRY_VERIFY(w().synSpectrum->isVisible());
        child<QAbstractButton>(w().synSpectrum, "bbShowGraph")->click();
        QTRY_VERIFY(w().graphs->isVisible());
    }

    // Accepts a ring (or a linac) in its editor, then opens a window from the main window.
    void accept(const char* beam, bool linac = false) {
        acceptBeam(w(), QString::fromLatin1(beam), linac);
        QTRY_VERIFY(linac ? program->session().beam.NPart > 0 : program->session().beam.BeamName == beam);
    }
    // Diamond (or a linac) accepted, a source window opened, a record recalculated.
    template <class T>
    T* source(const char* button, WindowRef<T> Windows::*window, const char* record,
              const char* linac = nullptr) {
        accept(linac ? linac : "Diamond", linac);
        click(w().start, button);
        pick(w().*window, "DBGridSrce", record);
        click(w().*window, "tbRecalc");
        return w().*window;
    }
    TfUndulator* undulator() { return source("Und", &Windows::undulator, "hybrid undulator U35"); }
    // The undulator's line spectrum of harmonics 1 to 3.
    TfLineSpectrum* lines() {
        click(undulator(), "tbLineSpectrum");
        click(fill(w().lineSpectrum, {{"toharm", "3"}}), "bbRecalc");
        return w().lineSpectrum;
    }
};

using Opener = std::function<QWidget*(RealWorld&)>;

}  // namespace

class RealDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // A ring's energy set to 0 in the editor and "accept", then "recalculate" in the open
    // bending-magnet window: the press activates the window, whose activation handler
    // fails and opens the error box; the click arrives inside the box's event loop and
    // fails too. Every failure is a message, the program goes on.
    void zeroEnergyAcceptedThenRecalculate() {
        RealWorld world;
        world.typicalRequest();
        world.w().cbeam->showTool();
        QTRY_VERIFY(world.w().cbeam->isActiveWindow());
        retype(child<QLineEdit>(world.w().cbeam, "DBEdtEnergy"), QStringLiteral("0"));
        child<QAbstractButton>(world.w().cbeam, "bbAccept")->click();
        QTRY_VERIFY(!world.real.errors().isEmpty());
        auto* recalc = child<QAbstractButton>(world.w().synRad, "tbRecalc");
        world.real.whileOpen.push_back([recalc] { recalc->click(); });
        world.w().synRad->showTool();
        QTRY_VERIFY(world.real.whileOpen.empty() && world.real.errors().size() >= 2);
        // (the click came while a box was open)
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
        world.showGraph();
        QCOMPARE(world.real.allTexts(), QStringList());
        auto* save = world.w().graphs->findChild<QAction*>(QStringLiteral("saveasmetafile1"));
        QVERIFY(save);
        for (const char* suffix : {"wmf", "png", "pdf"}) {
            const QString name = world.dir.filePath(QStringLiteral("chart.") + suffix);
            world.real.files.push_back(name);
            save->trigger();
            QTRY_VERIFY2(QFile::exists(name), suffix);
            QVERIFY(QFile(name).size() > 100);
        }
        world.real.files.push_back({});  // Cancel
        save->trigger();
        QTRY_COMPARE(world.real.fileDialogs, 4);
        QCOMPARE(world.real.allTexts(), QStringList());
    }

    // Every window that writes a file, through the real save dialog whose own floating-point
    // flags never become a message: the file is there with its lines, and no box opened (what
    // the files hold: each window's tests).
    void newWindowsWriteTheirFiles() {
        struct Case {
            const char* what;
            Opener open;  // opens and fills the window, returns it
            const char *button, *file;
            int lines;  // 0: more than 1000 bytes (the charts' files: exportWithDialogFlags)
        };
        const Case cases[] = {
            {"K scan",
             [](RealWorld& r) {
                 return fill(r.lines(), {{"edKmin", "0"}, {"edKmax", "5"}, {"rbvsK", 0}, {"cbSave", 0}});
             },
             "BitBtn1", "k_scan.txt", 202},  // two harmonics of 101 points
            {"form factor scan",
             [](RealWorld& r) {
                 r.accept("FLASH", true);
                 click(r.w().start, "FF");
                 return fill(r.w().formFctr,
                             {{"Eminwvn", "1"}, {"Emaxwvn", "100"}, {"Edelwvn", "1"}, {"cbSave", 0}});
             },
             "CalcSpectrum", "ff.txt", 101},  // one step past the end
            {"wiggler spectrum",
             [](RealWorld& r) {
                 click(r.source("Wiggler", &Windows::wiggler, "EM wiggler W200"), "tbSpectrum");
                 return fill(r.w().synSpectrum, {{"cbSave", 0}});
             },
             "bbShowGraph", "wiggler.txt", 0},
        };
        for (const Case& c : cases) {
            RealWorld world;
            world.real.dirtyFlags = true;
            QWidget* w = c.open(world);
            const QString name = world.dir.filePath(QString::fromLatin1(c.file));
            world.real.files.push_back(name);
            if (auto* a = w->findChild<QAction*>(QString::fromLatin1(c.button)))
                a->trigger();
            else
                click(w, c.button);
            QTRY_COMPARE(world.real.fileDialogs, 1);
            QVERIFY2(world.real.allTexts().isEmpty(), qPrintable(world.real.allTexts().join('|')));
            const QByteArray bytes = readFile(name);
            QVERIFY2(c.lines ? bytes.count("\r\n") == c.lines : bytes.size() > 1000, c.what);
        }
        // Cancel in the save dialog: the scan is drawn, nothing written, nothing said.
        RealWorld world;
        TfLineSpectrum* l = world.lines();
        child<QCheckBox>(l, "cbSave")->setChecked(true);
        world.real.files.push_back({});
        click(l, "BitBtn1");
        QCOMPARE(world.real.fileDialogs, 1);
        QCOMPARE(world.real.allTexts(), QStringList());
        QCOMPARE(QDir(world.dir.path()).entryList({QStringLiteral("*.txt")}), QStringList());
        QVERIFY(world.w().graphs->CurveCount() > 0);
    }
};

QTEST_MAIN(RealDialogsTest)
#include "real_dialogs_test.moc"
