// The beam editors through their controls: derived values, defaults, refusals, the accept
// operations, and edits that survive a restart.
#include "../../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class BeamEditorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramWorld> app;
    TfStart* start() { return app->w().start; }
    TfCBeam* cb() { return app->w().cbeam; }
    TfSPBeam* sp() { return app->w().spbeam; }
    Table& circ() { return *app->ctx().module->CircBeam; }
    Table& sngl() { return *app->ctx().module->SnglBeam; }
    DBEdit* edt(QWidget* w, const char* name) { return child<DBEdit>(w, name); }
    void type(QWidget* w, const char* name, const QString& text) { typeInto(edt(w, name), text); }
    QString shown(QWidget* w, const char* name) { return edt(w, name)->text(); }
    bool noNanShown(QWidget* w) {
        for (auto* e : w->findChildren<QLineEdit*>())
            if (e->text().contains(QLatin1String("NAN"), Qt::CaseInsensitive) ||
                e->text().contains(QLatin1String("INF"), Qt::CaseInsensitive))
                return false;
        return true;
    }

private slots:
    void init() { app = std::make_unique<ProgramWorld>(); }
    void cleanup() { app.reset(); }

    void circulatingBeamDerivedValuesAndDefaults() {
        QVERIFY(press(start(), "BtCB"));
        QVERIFY(press(cb(), "bbYes"));
        QCOMPARE(circ().state(), TableState::Insert);
        type(cb(), "DBEdtSR", QStringLiteral("test ring"));
        type(cb(), "DBEdtEnergy", QStringLiteral("3"));
        QCOMPARE(shown(cb(), "DBEdtGamma"), QStringLiteral("5870.81"));
        // Beta_x and the emittances left empty: 10 m and 999 nm rad
        QVERIFY(press(cb(), "bbAccept"));
        QCOMPARE(app->errorCount(), 0);
        QCOMPARE(shown(cb(), "DBEdtEps_x"), QStringLiteral("999"));
        QCOMPARE(shown(cb(), "DBEdtEps_y"), QStringLiteral("999"));
        QCOMPARE(shown(cb(), "DBEdtBeta_x"), QStringLiteral("10"));
        QCOMPARE(shown(cb(), "DBEdtCoupl"), QStringLiteral("100.00"));
        QCOMPARE(app->ctx().session.beam.BeamName, std::string("test ring"));
        QVERIFY(qAbs(app->ctx().session.beam.BeamGamma - 3.0 / 0.000511003) < 1e-9);

        // a typed value is calculated from at once (Eps_x 10 nm, Beta_x 10 m: 316.23 um; the
        // derived values themselves are core tests) and counts for the tools after accept
        type(cb(), "DBEdtEps_x", QStringLiteral("10"));
        QCOMPARE(shown(cb(), "DBEdtSig_xb"), QStringLiteral("316.23"));
        type(cb(), "DBEdtEnergy", QStringLiteral("6"));
        QVERIFY(press(cb(), "bbAccept"));
        QVERIFY(qAbs(app->ctx().session.beam.BeamGamma - 6.0 / 0.000511003) < 1e-9);
        // the grid shows the record with the display formats
        DBGrid* grid = child<DBGrid>(cb(), "SRings");
        int r = circ().currentRow();
        QCOMPARE(cellText(grid, r, 0), QStringLiteral("test ring"));
        QCOMPARE(cellText(grid, r, 17), QStringLiteral("11741.61"));  // Gamma, "0.00"
    }

    void negativeEmittanceIsRefusedAndNoNanIsShown() {
        QVERIFY(press(start(), "BtCB"));
        type(cb(), "DBEdtEps_x", QStringLiteral("-2"));
        QCOMPARE(app->errorCount(), 1);
        QVERIFY(QString::fromStdString(app->lastText()).contains(QLatin1String("negative")));
        QCOMPARE(shown(cb(), "DBEdtSig_xb"), QString());
        QCOMPARE(shown(cb(), "DBEdtEps_x"), QStringLiteral("-2"));  // what was typed stays
        QVERIFY(noNanShown(cb()));
        // accepting the refused record stops with the message; the main window is unchanged
        app->messages.clear();
        QVERIFY(press(cb(), "bbAccept"));
        QVERIFY(app->errorCount() >= 1);
        QVERIFY(!child<QWidget>(start(), "ToolBar3")->isVisibleTo(start()));
        QVERIFY(noNanShown(cb()));
        auto* rings = child<DBGrid>(cb(), "SRings");
        for (int c = 0; c < rings->model()->columnCount(); ++c)
            QVERIFY(!cellText(rings, circ().currentRow(), c).contains(QLatin1String("NAN")));
    }

    void singlePassNewRecordGetsGaussianAndDerivedValues() {
        QVERIFY(press(start(), "BtSPB"));
        QVERIFY(press(sp(), "bbNew"));
        QCOMPARE(sngl().state(), TableState::Insert);
        QCOMPARE(sngl().asText(QStringLiteral("PartDistribution")), QStringLiteral("g"));
        type(sp(), "DBEdtName", QStringLiteral("test linac"));
        type(sp(), "DBEdtEnergy", QStringLiteral("1000"));
        type(sp(), "DBEdtPart_Bunch", QStringLiteral("1"));
        type(sp(), "DBEdtBunchDuration", QStringLiteral("1000"));
        QCOMPARE(shown(sp(), "DBEdtPeakCurrent"), QStringLiteral("16.022"));
        QCOMPARE(shown(sp(), "DBEdtAvgCurrent"),
                 QStringLiteral(".0"));  // "###,###.0": no digit before the point
        QVERIFY(press(sp(), "bbAccept"));
        QCOMPARE(app->errorCount(), 0);
        QCOMPARE(sngl().state(), TableState::Browse);
        QCOMPARE(app->ctx().session.beam.BeamEnergy, 1e9);
        DBGrid* grid = child<DBGrid>(sp(), "SPGrid");
        QCOMPARE(cellText(grid, sngl().currentRow(), 8), QStringLiteral("g"));
    }

    void requiredFieldRefusalKeepsTheEdit() {
        QVERIFY(press(start(), "BtSPB"));
        QVERIFY(press(sp(), "bbNew"));
        type(sp(), "DBEdtEnergy", QStringLiteral("250"));
        type(sp(), "DBEdtPart_Bunch", QStringLiteral("2"));
        QVERIFY(press(sp(), "bbAccept"));
        QCOMPARE(app->errorCount(), 1);
        QCOMPARE(app->lastText(), std::string("Field 'Name' must have a value"));
        QCOMPARE(sngl().state(), TableState::Insert);
        QCOMPARE(shown(sp(), "DBEdtEnergy"), QStringLiteral("250"));
        QVERIFY(!child<QWidget>(start(), "FF")->isEnabled());
        // the navigator's post is refused the same way; moving away too
        app->messages.clear();
        press(child<DBNavigator>(sp(), "DBNavigator1"), DBNavigator::Post);
        QCOMPARE(app->lastText(), std::string("Field 'Name' must have a value"));
        press(child<DBNavigator>(sp(), "DBNavigator1"), DBNavigator::First);
        QCOMPARE(sngl().state(), TableState::Insert);
        QCOMPARE(sngl().asNumber(QStringLiteral("Part/Bunch")), 2.0);
        // with the name typed the accept goes through
        app->messages.clear();
        type(sp(), "DBEdtName", QStringLiteral("named"));
        QVERIFY(press(sp(), "bbAccept"));
        QCOMPARE(app->errorCount(), 0);
        QVERIFY(child<QWidget>(start(), "FF")->isEnabled());
    }

    void editsSurviveARestart() {
        QVERIFY(press(start(), "BtCB"));
        clickRow(child<DBGrid>(cb(), "SRings"), 2);
        const QString name = circ().asText(QStringLiteral("SR"));
        type(cb(), "DBEdtEnergy", QStringLiteral("4.25"));
        type(cb(), "DBEdtEta_y", QStringLiteral("0.012"));
        press(child<DBNavigator>(cb(), "DBNavigator1"), DBNavigator::Post);
        QCOMPARE(circ().state(), TableState::Browse);
        // a single-pass edit that only the accept posts
        QVERIFY(press(start(), "BtSPB"));
        clickRow(child<DBGrid>(sp(), "SPGrid"), 1);
        const QString linac = sngl().asText(QStringLiteral("Name"));
        type(sp(), "DBEdtPulseRepRate", QStringLiteral("33"));
        QCOMPARE(sngl().state(), TableState::Edit);
        QVERIFY(press(sp(), "bbAccept"));
        QCOMPARE(app->errorCount(), 0);

        app->restart();
        Table& c = circ();
        bool found = false;
        for (int r = 0; r < c.rowCount(); ++r)
            if (c.row(r).text(QStringLiteral("SR")) == name) {
                found = true;
                QCOMPARE(c.row(r).number(QStringLiteral("Energy")), 4.25);
                QCOMPARE(c.row(r).number(QStringLiteral("Eta_y")), 0.012);
            }
        QVERIFY(found);
        found = false;
        for (int r = 0; r < sngl().rowCount(); ++r)
            if (sngl().row(r).text(QStringLiteral("Name")) == linac) {
                found = true;
                QCOMPARE(sngl().row(r).number(QStringLiteral("PulseRepRate")), 33.0);
            }
        QVERIFY(found);
    }

    void acceptingAnEmptyCatalogueIsRefused() {
        QVERIFY(press(start(), "BtSPB"));
        app->messages.answers = std::deque<bool>(20, true);
        while (sngl().rowCount() > 0) press(child<DBNavigator>(sp(), "DBNavigator1"), DBNavigator::Delete);
        app->messages.clear();
        QVERIFY(press(sp(), "bbAccept"));
        QCOMPARE(app->errorCount(), 1);
        QVERIFY(!child<QWidget>(start(), "ToolBar3")->isVisibleTo(start()));
    }

    void typedTextIsKeptWhenTheBeamKindIsSwitched() {
        QVERIFY(press(start(), "BtCB"));
        clickRow(child<DBGrid>(cb(), "SRings"), 0);
        const QString ring = circ().asText(QStringLiteral("SR"));
        DBEdit* e = edt(cb(), "DBEdtEnergy");
        e->setText(QStringLiteral("4.5"));
        emit e->textEdited(e->text());  // typed, not yet finished, not accepted
        QCOMPARE(circ().state(), TableState::Edit);
        QVERIFY(press(start(), "BtSPB"));  // closes the circulating-beam table
        QCOMPARE(app->errorCount(), 0);
        QVERIFY(sp()->isVisible());

        // a new single-pass record nobody typed into is dropped, not stored empty
        const int linacs = sngl().rowCount();
        QVERIFY(press(sp(), "bbNew"));
        QCOMPARE(sngl().rowCount(), linacs + 1);
        clickRow(child<DBGrid>(sp(), "SPGrid"), linacs);  // the last stored record: the rows shift back
        QCOMPARE(sngl().state(), TableState::Browse);
        QCOMPARE(sngl().rowCount(), linacs);
        QVERIFY(!sngl().asText(QStringLiteral("Name")).isEmpty());
        QCOMPARE(sngl().currentRow(), linacs - 1);
        QVERIFY(press(sp(), "bbNew"));
        QVERIFY(press(start(), "BtCB"));
        QCOMPARE(app->errorCount(), 0);

        // a single-pass record that cannot be stored stops the switch with its message
        QVERIFY(press(start(), "BtSPB"));
        QCOMPARE(sngl().rowCount(), linacs);
        type(sp(), "DBEdtName", QString());
        QVERIFY(press(start(), "BtCB"));
        QCOMPARE(app->lastText(), std::string("Field 'Name' must have a value"));
        QVERIFY(sngl().isOpen());
        QCOMPARE(sngl().state(), TableState::Edit);
        press(child<DBNavigator>(sp(), "DBNavigator1"), DBNavigator::Cancel);
        app->messages.clear();
        QVERIFY(press(start(), "BtCB"));
        QCOMPARE(app->errorCount(), 0);

        app->restart();
        for (int r = 0; r < circ().rowCount(); ++r)
            if (circ().row(r).text(QStringLiteral("SR")) == ring)
                QCOMPARE(circ().row(r).number(QStringLiteral("Energy")), 4.5);
        QCOMPARE(sngl().rowCount(), linacs);
    }

    void exitKeepsTypedChangesAndAsksBeforeDroppingARefusedOne() {
        QVERIFY(press(start(), "BtSPB"));
        clickRow(child<DBGrid>(sp(), "SPGrid"), 0);
        const QString linac = sngl().asText(QStringLiteral("Name"));
        type(sp(), "DBEdtPulseRepRate", QStringLiteral("7"));
        QVERIFY(start()->keepEdits());
        QCOMPARE(sngl().state(), TableState::Browse);
        QCOMPARE(app->errorCount(), 0);

        clickRow(child<DBGrid>(sp(), "SPGrid"), 1);
        type(sp(), "DBEdtName", QString());
        app->messages.answers = {false};  // keep running
        QVERIFY(!start()->keepEdits());
        QCOMPARE(app->messages.log.back().kind, RecordingMessages::Entry::Question);
        QVERIFY(QString::fromStdString(app->lastText())
                    .startsWith(QLatin1String("Field 'Name' must have a value")));
        QCOMPARE(sngl().state(), TableState::Edit);
        app->messages.answers = {true};  // end anyway: the refused change is dropped
        QVERIFY(start()->keepEdits());
        QCOMPARE(sngl().state(), TableState::Browse);
        QVERIFY(!sngl().asText(QStringLiteral("Name")).isEmpty());

        app->restart();
        QCOMPARE(sngl().row(0).text(QStringLiteral("Name")), linac);
        QCOMPARE(sngl().row(0).number(QStringLiteral("PulseRepRate")), 7.0);
        QVERIFY(!sngl().row(1).text(QStringLiteral("Name")).isEmpty());
    }

    void beamsOfAReadOnlyCatalogueCanBeAccepted() {
        app->program.reset();
        QFile::setPermissions(app->catalogue(), QFileDevice::ReadOwner);
        app->restart();
        QCOMPARE(app->errorCount(), 1);  // read-only: changes cannot be saved
        QVERIFY(press(start(), "BtSPB"));
        QVERIFY(press(sp(), "bbAccept"));
        QVERIFY(press(start(), "BtCB"));
        QVERIFY(press(cb(), "bbAccept"));
        QCOMPARE(app->errorCount(), 1);
        QVERIFY(child<QWidget>(start(), "ToolBar3")->isVisibleTo(start()));
        // a real change is refused with the file named, and stays in the editor
        app->messages.clear();
        type(cb(), "DBEdtCur", QStringLiteral("150"));
        QVERIFY(press(cb(), "bbAccept"));
        QCOMPARE(app->errorCount(), 1);
        QVERIFY(QString::fromStdString(app->lastText()).contains(app->catalogue()));
        QCOMPARE(shown(cb(), "DBEdtCur"), QStringLiteral("150"));
        QCOMPARE(circ().state(), TableState::Edit);
        app->program.reset();
        QFile::setPermissions(app->catalogue(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_MAIN(BeamEditorsTest)
#include "beam_editors_window_test.moc"
