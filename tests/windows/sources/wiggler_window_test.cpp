// The wiggler window through its controls, from the bending magnet of the typical request
// on: the main window's "wiggler" button, the EM wiggler picked in the grid, recalculation,
// refusals, the stale marker and the hand-over to the spectrum window in wiggler mode.

#include "../../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {

// Diamond (3 GeV, 300 mA) with the EM wiggler W200 (1.6 T, 200 mm period, 12 poles),
// recalculated once.
struct WigglerWorld : BendWorld {
    TfWiggler* w;
    WigglerWorld() {
        buttonByText(BendWorld::w().start, QStringLiteral("wiggler"))->click();
        w = BendWorld::w().wiggler;
        auto* grid = child<DBGrid>(w, "DBGridSrce");
        clickRow(grid, rowOf(grid, QStringLiteral("EM wiggler W200")));
        messages.clear();
        recalc();
    }
    void recalc() { child<QToolButton>(w, "tbRecalc")->click(); }
    QString text(const char* name) const { return textOf(w, name); }
    int marker() const { return captionColour(child<QToolButton>(w, "tbRecalc")); }
};

}  // namespace

class WigglerWindow : public QObject {
    Q_OBJECT
private slots:
    void recalculationFillsEveryOutput() {
        WigglerWorld world;
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts()[0].c_str());
        QVERIFY(world.w->isVisible());
        QCOMPARE(child<QComboBox>(world.w, "coFilter")->currentText(), QStringLiteral("Wig"));
        // the record and the ring reach the calculation (the texts themselves are core tests):
        // K = 93.44 * 1.6 T * 0.2 m = 29.9008; L = 12 * 0.2 / 2 = 1.2 m; eps_c = 665 * 9 * 1.6 = 9576 eV;
        // P = 633.6 * (3 * 1.6)^2 * 0.3 A * 1.2 m = 5255.3 W
        const std::pair<const char*, const char*> expected[] = {
            {"Kpar", "29.900"}, {"edWLen", "   1.200"}, {"Ephcrit", "9.576"}, {"PowTot", "5.255"}};
        for (const auto& [name, text] : expected) QCOMPARE(world.text(name), QString::fromLatin1(text));
        for (const char* n : {"Edtmxdefl", "Lamcrit", "EdtPhEnergy", "Edtxmax", "edPowmm", "edPwmmz",
                              "AngPhDen", "sigpsi", "AngFlux", "EdtBright"})
            QVERIFY2(!world.text(n).isEmpty() && !world.text(n).contains(QStringLiteral("NAN")), n);
        QVERIFY(child<QLineEdit>(world.w, "Wfield")->isVisible());
        QVERIFY(!child<QLabel>(world.w, "fldmax")->isVisible());
        QCOMPARE(world.marker(), 32768);
        QCOMPARE(world.session().CritEnergy, 9576.0);
        QCOMPARE(world.session().RelBandWidth, 0.001);
    }

    void inputChangesMarkStaleAndRecalculationClearsIt() {
        WigglerWorld world;
        for (const char* n : {"WaveLength", "edBandW", "edDist"}) {
            world.recalc();
            world.session().flags.ParDirty = false;
            QCOMPARE(world.marker(), 32768);
            child<QLineEdit>(world.w, n)->setText(QStringLiteral("2"));
            QCOMPARE(world.marker(), 255);
            QVERIFY(world.session().flags.ParDirty);
        }
        world.recalc();
        typeInto(child<DBEdit>(world.w, "HorAngle"), QStringLiteral("1"));
        QCOMPARE(world.marker(), 255);
        world.recalc();
        QCOMPARE(world.marker(), 32768);
    }

    void refusedCalculationStaysRedWithoutPhotonResults() {
        struct Case {
            const char* field;
            const char* text;
            std::string message;
        };
        const Case cases[] = {
            {"HorAngle", "5.1", kZeroFluxText},  // beyond K/gamma = 5.093 mrad
            {"edDist", "-2", kWigglerDistanceText},
            {"WaveLength", "x", "'x' is not a valid floating point value"},
        };
        for (const Case& c : cases) {
            WigglerWorld world;
            if (std::string(c.field) == "HorAngle")
                typeInto(child<DBEdit>(world.w, c.field), QString::fromLatin1(c.text));
            else
                child<QLineEdit>(world.w, c.field)->setText(QString::fromLatin1(c.text));
            world.messages.clear();
            world.recalc();
            QCOMPARE(world.texts(), std::vector<std::string>{c.message});
            QCOMPARE(world.marker(), 255);
            for (const char* n : {"AngPhDen", "sigpsi", "AngFlux", "EdtBright"})
                QVERIFY2(world.text(n).isEmpty(), n);
        }
    }

    void resultsDoNotDependOnTheUndulatorWindow() {
        WigglerWorld world;
        const QString bright = world.text("EdtBright"), dens = world.text("edPowmm");
        world.session().undulator.FundWaveLen = 2e-7;  // as an undulator calculation would leave it
        world.recalc();
        QCOMPARE(world.text("EdtBright"), bright);
        QCOMPARE(world.text("edPowmm"), dens);
    }

    void bendingMagnetThenWigglerThenSpectrum() {
        WigglerWorld world;
        // stale, and another window's magnet in the shared state since the last recalculation: the
        // spectrum recalculates the wiggler's own first
        child<QLineEdit>(world.w, "edBandW")->setText(QStringLiteral("1"));
        world.session().magnet.KValue = 1.0;
        child<QToolButton>(world.w, "tbSpectrum")->click();
        QVERIFY2(world.messages.log.empty(), world.texts().empty() ? "" : world.texts()[0].c_str());
        QCOMPARE(world.marker(), 32768);
        TfSynSpectrum* s = world.BendWorld::w().synSpectrum;
        QVERIFY(s->isVisible());
        QVERIFY(world.session().flags.WigglerMode);
        QVERIFY(!world.session().flags.BendMagMode);
        QCOMPARE(child<QLabel>(s, "KPar")->text().trimmed(), QStringLiteral("29.901"));
        QCOMPARE(child<QLabel>(s, "Poles")->text().trimmed(), QStringLiteral("12"));
    }
};

QTEST_MAIN(WigglerWindow)
#include "wiggler_window_test.moc"
