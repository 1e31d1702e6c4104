// The main window: start-up, launches, the enabled and visible states after each accept, and
// the mode flags.
#include "app/start_window.h"

#include <QDir>
#include <QFileInfo>

#include "../support/program_world.h"
#include "store/data_files.h"
#include "windows/plot/enter_text_window.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class StartWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramWorld> app;
    TfStart* start() { return app->w().start; }
    Windows& w() { return app->w(); }
    bool rowVisible(const char* name) { return child<QWidget>(start(), name)->isVisibleTo(start()); }
    bool enabled(const char* name) { return child<QWidget>(start(), name)->isEnabled(); }

private slots:
    void init() { app = std::make_unique<ProgramWorld>(); }
    void cleanup() { app.reset(); }

    void startsWithTitleTablesAndHiddenSourceRows() {
        QCOMPARE(app->errorCount(), 0);
        QVERIFY(app->ctx().session.tab.rows() > 0);
        QVERIFY(app->ctx().module->CircBeam->isOpen());
        QVERIFY(app->ctx().module->SnglBeam->isOpen());
        QVERIFY(app->ctx().module->InsDevice->isOpen());
        QVERIFY(app->ctx().module->InsDevice->filtered());
        QVERIFY(rowVisible("ToolBar1") && rowVisible("ToolBar2"));
        QVERIFY(!rowVisible("ToolBar3") && !rowVisible("ToolBar4"));
        for (const char* b : {"FF", "picFF", "TR", "picTR"}) QVERIFY2(!enabled(b), b);
        QVERIFY(!app->ctx().session.flags.CircBeamChosen && !app->ctx().session.flags.ParDirty);
        // every tool window exists, hidden
        QWidget* tools[] = {w().cbeam,    w().spbeam, w().besFun,       w().wiggler, w().undulator,
                            w().formFctr, w().tr,     w().lineSpectrum, w().undFlux, w().synSpectrum,
                            w().synRad,   w().graphs, w().enterText,    w().spUnd,   w().lineGraph};
        for (QWidget* t : tools) {
            QVERIFY(t);
            QVERIFY(!t->isVisible());
        }
    }

    void dataFileIsLookedUpInTheWorkingDirectoryFirst() {
        const QString here = QDir::currentPath();
        QTemporaryDir cwd;
        QVERIFY(QDir::setCurrent(cwd.path()));
        // none here: the copy beside the program (build folder) or in the source tree
        QString found = findDataFile(QStringLiteral("DATA.TXT"));
        QVERIFY(QFileInfo(found).isFile());
        QVERIFY(!found.startsWith(cwd.path()));
        QFile own(cwd.filePath(QStringLiteral("DATA.TXT")));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        QCOMPARE(QFileInfo(findDataFile(QStringLiteral("DATA.TXT"))).canonicalFilePath(),
                 QFileInfo(own.fileName()).canonicalFilePath());
        QCOMPARE(findDataFile(QStringLiteral("NO_SUCH_FILE.TXT")), QStringLiteral("NO_SUCH_FILE.TXT"));
        QVERIFY(QDir::setCurrent(here));

        ProgramOptions o = ProgramOptions::fromArguments(
            {QStringLiteral("lumerad"), QStringLiteral("--catalogue"), QStringLiteral("/tmp/x.sqlite")});
        QCOMPARE(o.catalogueFile, QStringLiteral("/tmp/x.sqlite"));
        o = ProgramOptions::fromArguments(
            {QStringLiteral("lumerad"), QStringLiteral("--catalogue=y.sqlite")});
        QCOMPARE(o.catalogueFile, QStringLiteral("y.sqlite"));
        QVERIFY(!o.startupTime);
        // arguments it does not know are passed over; a value may look like an option
        o = ProgramOptions::fromArguments({"lumerad", "-style", "fusion", "--startup-time", "--other",
                                           "--catalogue", "--z.sqlite", "--catalogue"});
        QCOMPARE(o.catalogueFile, QStringLiteral("--z.sqlite"));
        QVERIFY(o.startupTime);
        QVERIFY(!o.help);
        QVERIFY(ProgramOptions::fromArguments({"lumerad", "-stylesheet", "x.qss", "-h"}).help);
    }

    void noDataFileGivesOneMessageAndEveryLaunchWorks() {
        app.reset();
        app = std::make_unique<ProgramWorld>(QStringLiteral("/nonexistent-folder/DATA.TXT"));
        QCOMPARE(app->errorCount(), 1);
        QCOMPARE(app->ctx().session.tab.rows(), 0);
        app->messages.clear();

        const std::pair<const char*, QWidget*> launches[] = {
            {"BtCB", w().cbeam},       {"BendM", w().synRad},  {"Wiggler", w().wiggler},
            {"picUnd", w().undulator}, {"Bessel", w().besFun}, {"BtSPB", w().spbeam},
            {"FF", w().formFctr},      {"TR", w().tr}};
        for (const auto& [button, window] : launches) {
            QVERIFY2(press(start(), button), button);
            QVERIFY2(window->isVisible(), button);
            if (window == w().cbeam || window == w().spbeam) QVERIFY(press(window, "bbAccept"));
        }
        QCOMPARE(app->errorCount(), 0);
    }

    void wigglerAfterOnlyASinglePassAcceptShowsNoWindow() {
        QVERIFY(press(start(), "picBtSPB"));
        QVERIFY(press(w().spbeam, "bbAccept"));
        QVERIFY(rowVisible("ToolBar3") && rowVisible("ToolBar4"));
        // the window grew to hold the new rows and the title panel below them
        QWidget* panel = child<QWidget>(start(), "Panel1");
        QVERIFY(panel->geometry().bottom() < start()->height());
        QVERIFY(child<QWidget>(start(), "ToolBar4")->geometry().bottom() < panel->geometry().top());
        app->ctx().session.flags.BendMagMode = true;
        app->ctx().module->SnglBeam->close();
        app->ctx().module->CircBeam->open();

        QVERIFY(press(start(), "Wiggler"));
        QVERIFY(!w().wiggler->isVisible());
        QVERIFY(app->ctx().module->SnglBeam->isOpen());
        QVERIFY(!app->ctx().module->CircBeam->isOpen());
        QVERIFY(app->ctx().session.flags.WigglerMode);
        QVERIFY(!app->ctx().session.flags.BendMagMode);

        QVERIFY(press(start(), "Und"));
        QVERIFY(w().spUnd->isVisible());
        QVERIFY(!w().undulator->isVisible());
        QVERIFY(app->ctx().module->SnglBeam->isOpen());
    }

    void formFactorAndTransitionRadiationFollowTheLastAccept() {
        QVERIFY(press(start(), "BtSPB"));
        QVERIFY(press(w().spbeam, "bbAccept"));
        for (const char* b : {"FF", "picFF", "TR", "picTR"}) QVERIFY2(enabled(b), b);
        QVERIFY(press(start(), "BtCB"));
        QVERIFY(app->ctx().session.flags.CircBeamChosen);
        QVERIFY(press(w().cbeam, "bbAccept"));
        for (const char* b : {"FF", "picFF", "TR", "picTR"}) QVERIFY2(!enabled(b), b);
        QVERIFY(press(start(), "BtSPB"));
        QVERIFY(press(w().spbeam, "bbAccept"));
        for (const char* b : {"FF", "picFF", "TR", "picTR"}) QVERIFY2(enabled(b), b);
        // once chosen, the circulating beam stays the wiggler's and undulator's beam kind
        QVERIFY(app->ctx().session.flags.CircBeamChosen);
        QVERIFY(press(start(), "Wiggler"));
        QVERIFY(w().wiggler->isVisible());
        QVERIFY(app->ctx().module->CircBeam->isOpen());
        QVERIFY(!app->ctx().module->SnglBeam->isOpen());
    }

    // Enter in a field presses the calculate button of the panel it is in (none in a panel
    // with two buttons to choose from).
    void enterPressesTheCalculateButtonOfTheField() {
        struct Case {
            QWidget* window;
            const char *field, *button;
        } cases[] = {
            {w().synRad, "WaveLength", "tbRecalc"},    {w().wiggler, "edDist", "tbRecalc"},
            {w().undulator, "harm", "tbRecalc"},       {w().spUnd, "Wfield", "tbRecalc"},
            {w().synSpectrum, "BW", "tbUpdate"},       {w().undFlux, "EdtBW", "BResult"},
            {w().lineSpectrum, "fharm", "bbRecalc"},   {w().lineSpectrum, "edKmin", nullptr},
            {w().tr, "EdtBnWdth", "Calculate"},        {w().formFctr, "wavelen", "CalcSpFF"},
            {w().formFctr, "Eminwvn", "CalcSpectrum"}, {w().besFun, "BsArg", "BtnCalc"},
        };
        for (const Case& c : cases) {
            auto* tool = static_cast<ToolWindow*>(c.window);
            QAbstractButton* b = tool->defaultButton(child<QWidget>(tool, c.field));
            QCOMPARE(b ? b->objectName() : QString(), c.button ? QString::fromLatin1(c.button) : QString());
        }
    }

    void closingTheMainWindowKeepsARefusedEditUnlessTheUserDropsIt() {
        QVERIFY(press(start(), "BtSPB"));
        Table& sp = *app->ctx().module->SnglBeam;
        typeInto(child<DBEdit>(w().spbeam, "DBEdtName"), QString());
        QCOMPARE(sp.state(), TableState::Edit);
        app->messages.answers = {false};
        QVERIFY(!start()->close());
        QVERIFY(start()->isVisible());
        QCOMPARE(sp.state(), TableState::Edit);
        QCOMPARE(app->messages.log.back().kind, RecordingMessages::Entry::Question);
        app->messages.answers = {true};
        QVERIFY(start()->close());
        QCOMPARE(sp.state(), TableState::Browse);
        QVERIFY(!sp.asText(QStringLiteral("Name")).isEmpty());
    }
};

QTEST_MAIN(StartWindowTest)
#include "start_window_test.moc"
