// The bending-magnet window through its controls: the stale marker, partial results when a
// step fails, the field edit, the beam panel and the exit button.

#include "../../support/program_world.h"
#include "ui/current_records.h"
#include "windows/sources/source_selection.h"

using namespace lumerad;
using namespace lumerad::worldtest;

class BendingMagnetWindow : public QObject {
    Q_OBJECT
private slots:
    void recalculationFillsEveryOutput() {
        BendWorld world;
        QVERIFY(world.messages.log.empty());
        // the ring and the record reach the calculation (the texts themselves are core tests):
        // rho = 3 GeV / (0.29979 * 1.4 T) = 7.148 m; 665 * 9 * 1.4 = 8379 eV;
        // P = 88575 * 81 * 0.3 A / 7.148 m
        const std::pair<const char*, const char*> expected[] = {
            {"EdtRho", "   7.148"}, {"Ephcrit", "8.379"}, {"PowTot", "301.10"}, {"lW", "kW;"}};
        for (const auto& [name, text] : expected)
            QCOMPARE(textOf(world.w().synRad, name), QString::fromLatin1(text));
        QCOMPARE(world.session().RelBandWidth, 0.001);
    }

    void inputChangeMarksStale() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        auto* tb = child<QToolButton>(w, "tbRecalc");
        QCOMPARE(captionColour(tb), 32768);
        for (const char* n : {"WaveLength", "edBandW", "VerObsAng", "edDist", "edIncAng"}) {
            tb->click();
            QCOMPARE(captionColour(tb), 32768);
            child<QLineEdit>(w, n)->setText(QStringLiteral("2"));
            QCOMPARE(captionColour(tb), 255);
        }
        tb->click();
        press(child<DBNavigator>(w, "DBNavigator1"), DBNavigator::Next);
        QCOMPARE(captionColour(tb), 255);
    }

    void badInputKeepsTheEarlierSteps() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        auto text = [w](const char* n) { return child<QLineEdit>(w, n)->text(); };
        const QString densityBefore = text("edPwmmz");
        child<QLineEdit>(w, "WaveLength")->setText(QStringLiteral("2.0"));
        child<QLineEdit>(w, "edDist")->setText(QStringLiteral("1,5"));
        child<QToolButton>(w, "tbRecalc")->click();
        QCOMPARE(world.texts(), std::vector<std::string>{"'1,5' is not a valid floating point value"});
        // steps before the distance ran: the photon energy of 2 A is shown
        QCOMPARE(text("EdtPhEnergy"), QStringLiteral("6.1993"));
        QCOMPARE(text("edPwmmz"), densityBefore);
        QCOMPARE(captionColour(child<QToolButton>(w, "tbRecalc")), 255);
    }

    void zeroFieldStopsWithTheFloatingPointMessage() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        auto text = [w](const char* n) { return child<QLineEdit>(w, n)->text(); };
        const QString rho = text("EdtRho"), crit = text("Ephcrit");
        // An electromagnet of 0 T is refused when the edit is posted, naming the field; what
        // was typed stays in the record being edited, the stored record keeps its field.
        const std::string refused = "Field: the magnetic field must be above 0 T and at most 100 T";
        typeInto(child<DBEdit>(w, "DBEdtField"), QStringLiteral("0"));
        QCOMPARE(world.texts(), std::vector<std::string>{refused});
        world.messages.clear();
        child<QToolButton>(w, "tbRecalc")->click();
        QCOMPARE(world.texts(), std::vector<std::string>{refused});
        QCOMPARE(text("EdtRho"), rho);
        QCOMPARE(text("Ephcrit"), crit);
        Table& src = *world.module().InsDevice;
        QVERIFY(src.editing());
        QCOMPARE(src.asNumber(QStringLiteral("Field")), 0.0);
        QCOMPARE(child<QLineEdit>(w, "DBEdtField")->text(), QStringLiteral("0"));
        src.cancel();
        QCOMPARE(src.asNumber(QStringLiteral("Field")), 1.4);  // never stored
    }

    void fieldEditRecomputesTheRadius() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        typeInto(child<DBEdit>(w, "DBEdtField"), QStringLiteral("1.2"));
        QVERIFY(world.messages.log.empty());
        // 3 GeV / 0.299792458 / 1.2 T
        QCOMPARE(child<QLineEdit>(w, "EdtRho")->text(), QStringLiteral("   8.339"));
        QCOMPARE(world.session().magnet.BField, 1.2);
        QCOMPARE(captionColour(child<QToolButton>(w, "tbRecalc")), 255);

        // a field that is not a number: one message, whether the entry is scripted or typed
        // and finished with Enter; the radius stays
        auto* field = child<DBEdit>(w, "DBEdtField");
        typeInto(field, QStringLiteral("1.2x"));
        QCOMPARE(world.texts(), std::vector<std::string>{"'1.2x' is not a valid floating point value"});
        world.messages.clear();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("abc"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(world.texts(), std::vector<std::string>{"'abc' is not a valid floating point value"});
        QCOMPARE(child<QLineEdit>(w, "EdtRho")->text(), QStringLiteral("   8.339"));
    }

    void filterSelectsSourceKinds() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        Table& src = *world.module().InsDevice;
        FilterSources(src, "All");
        const int all = src.rowCount();
        // apply with "Wig": the wigglers only, still without the device columns (bending-magnet
        // mode), and the results are stale
        auto* tb = child<QToolButton>(w, "tbRecalc");
        tb->click();
        child<QComboBox>(w, "coFilter")->setCurrentText(QStringLiteral("Wig"));
        child<QAbstractButton>(w, "bbApply")->click();
        QVERIFY(src.rowCount() > 0);
        for (int r = 0; r < src.rowCount(); ++r)
            QCOMPARE(src.row(r).text(QStringLiteral("SrceType")), QStringLiteral("Wig"));
        QCOMPARE(child<DBGrid>(w, "DBGrid1")->model()->columnCount(), 6);
        QCOMPARE(captionColour(tb), 255);
        // outside bending-magnet mode the grid gets pole count, period and gap
        world.session().flags.BendMagMode = false;
        SelectSources(world.program->ctx(), "All");
        QCOMPARE(src.rowCount(), all);
        auto* grid = child<DBGrid>(w, "DBGrid1");
        QCOMPARE(grid->model()->columnCount(), 9);
    }

    void singlePassBeamIsRefused() {
        BendWorld world;
        TfSynRad* w = world.w().synRad;
        auto text = [w](const char* n) { return child<QLineEdit>(w, n)->text(); };
        // a linac beam accepted: the beam state holds its energy in eV
        buttonByText(world.w().start, QStringLiteral("single pass beam"))->click();
        child<QAbstractButton>(world.w().spbeam, "bbAccept")->click();
        QVERIFY(world.session().beam.BeamEnergy > 1e6);
        world.messages.clear();
        child<QToolButton>(w, "tbRecalc")->click();
        QCOMPARE(world.texts(), std::vector<std::string>{kNeedCirculatingBeamText});
        QCOMPARE(text("Ephcrit"), QStringLiteral("8.379"));  // not 665 E^2 B with E in eV
        world.messages.clear();
        child<QAbstractButton>(w, "tbSpectrum")->click();
        QCOMPARE(world.texts(), std::vector<std::string>{kNeedCirculatingBeamText});
        // "bend magnet" opens the ring table again, which calculates its current record: the
        // beam state is a ring's once more (energy in GeV)
        world.messages.clear();
        buttonByText(world.w().start, QStringLiteral("bend magnet"))->click();
        child<QToolButton>(w, "tbRecalc")->click();
        QCOMPARE(world.texts(), std::vector<std::string>{});
        QVERIFY(world.session().beam.BeamEnergy < 100);
    }
};

QTEST_MAIN(BendingMagnetWindow)
#include "bending_magnet_window_test.moc"
