// The single-pass undulator window through its controls, opened from the main window after the
// FLASH linac (1250 MeV, 200 fs) was accepted: a permanent magnet at the field of its gap,
// an electromagnet and back, a magnet type that is neither, and the refusal of gamma <= 1.

#include "../../support/program_world.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {
TfSPUnd* openSPUnd(LinacWorld& world) {
    click(world.w().start, "Und");
    TfSPUnd* w = world.w().spUnd;
    if (!w->isVisible()) qFatal("single-pass undulator window not shown");
    w->act([w] { w->formActivate(); });
    return w;
}

int marker(TfSPUnd* w) { return captionColour(child<QToolButton>(w, "tbRecalc")); }
}  // namespace

class SinglePassUndulatorWindow : public QObject {
    Q_OBJECT
private slots:
    void permanentMagnetTakesTheFieldOfItsGap() {
        LinacWorld world;
        TfSPUnd* w = openSPUnd(world);
        QVERIFY2(world.messages.log.empty(), world.messages.log.empty() ? "" : world.texts()[0].c_str());
        // the first undulator: hybrid, 35 mm period at an 11 mm gap, remanence 3.33 T: the field of
        // the gap, 3.33 exp(-x (5.47 - 1.8 x)) with x = 11 / 35 (the undulator equation: core tests)
        auto* grid = child<DBGrid>(w, "DBGridSrce");
        QCOMPARE(cellText(grid, grid->table().currentRow(), 0).trimmed(),
                 QStringLiteral("hybrid undulator U35"));
        QVERIFY(child<QWidget>(w, "pnPerMag")->isVisible());
        QVERIFY(!child<QLineEdit>(w, "Wfield")->isEnabled());
        QCOMPARE(textOf(w, "Wfield"), QStringLiteral("   0.713"));
        QCOMPARE(textOf(w, "MagTyp"), QStringLiteral("hybrid"));
        QVERIFY(textOf(w, "lWveLen").startsWith(QStringLiteral("fundamental wavelength: ")));
        // a 60 um Gaussian bunch at a 14 nm wavelength radiates no coherent part
        QCOMPARE(textOf(w, "lDistr"), QStringLiteral("particle distribution is gaussian"));
        QCOMPARE(textOf(w, "lFF"), QStringLiteral("formfactor =        0"));
        QCOMPARE(marker(w), 32768);
    }

    void electromagnetAndBack() {
        LinacWorld world;
        TfSPUnd* w = openSPUnd(world);
        auto* grid = child<DBGrid>(w, "DBGridSrce");
        clickRow(grid, rowOf(grid, QStringLiteral("EM undulator U100")));
        QCOMPARE(marker(w), 255);
        w->act([w] { w->formActivate(); });
        // an electromagnet takes its field from the box, which still holds the last field shown
        QVERIFY(child<QLineEdit>(w, "Wfield")->isEnabled());
        QVERIFY(!child<QWidget>(w, "pnPerMag")->isVisible());
        QVERIFY(world.messages.log.empty());
        QCOMPARE(textOf(w, "Kpar"), QStringLiteral("   6.662"));  // 93.44 * 0.713 T * 0.1 m
        child<QLineEdit>(w, "Wfield")->clear();
        click(w, "tbRecalc");
        QCOMPARE(world.texts(), std::vector<std::string>{"'' is not a valid floating point value"});
        QTest::keyClicks(child<QLineEdit>(w, "Wfield"), QStringLiteral("1.0"));
        world.messages.clear();
        click(w, "tbRecalc");
        QVERIFY(world.messages.log.empty());
        QCOMPARE(textOf(w, "Kpar"), QStringLiteral("   9.344"));  // 93.44 * 1 T * 0.1 m
        QCOMPARE(marker(w), 32768);

        // back to a permanent magnet: the record is read before the panels are chosen
        clickRow(grid, rowOf(grid, QStringLiteral("hybrid undulator U35")));
        w->act([w] { w->formActivate(); });
        QVERIFY(world.messages.log.empty());
        QVERIFY(!child<QLineEdit>(w, "Wfield")->isEnabled());
        QVERIFY(child<QWidget>(w, "pnPerMag")->isVisible());
        QCOMPARE(textOf(w, "Wfield"), QStringLiteral("   0.713"));
        // "No" opens the field box with 1 T, "Yes" closes it again
        click(w, "bbNo");
        QVERIFY(child<QLineEdit>(w, "Wfield")->isEnabled());
        QCOMPARE(textOf(w, "Wfield"), QStringLiteral("1.0"));
        QCOMPARE(marker(w), 255);
        click(w, "tbRecalc");
        QCOMPARE(textOf(w, "Kpar"), QStringLiteral("   3.270"));  // 93.44 * 1 T * 0.035 m
        click(w, "bbYes");
        QVERIFY(!child<QLineEdit>(w, "Wfield")->isEnabled());
        QVERIFY(child<QWidget>(w, "pnPerMag")->isVisible());
        QCOMPARE(marker(w), 255);
    }

    void unknownMagnetTypeKeepsTheResultsStale() {
        LinacWorld world;
        TfSPUnd* w = openSPUnd(world);
        const QString wave = textOf(w, "lWveLen"), ff = textOf(w, "lFF");
        world.module().InsDevice->setText(QStringLiteral("MagType"), QStringLiteral("XX"));
        world.messages.clear();
        click(w, "tbRecalc");
        QCOMPARE(world.texts(), (std::vector<std::string>{"select valid magnet type, EM or PM!",
                                                          "choose magnetic source component"}));
        QCOMPARE(textOf(w, "lWveLen"), wave);
        QCOMPARE(textOf(w, "lFF"), ff);
        QCOMPARE(marker(w), 255);
    }

    void refusesABeamAtRest() {
        LinacWorld world;
        TfSPUnd* w = openSPUnd(world);
        const QString wave = textOf(w, "lWveLen");
        typeInto(child<DBEdit>(w, "DBEditSPEnergy"), QStringLiteral("0.3"));
        QCOMPARE(marker(w), 255);
        world.messages.clear();
        click(w, "tbRecalc");
        // refused by the record's limits or by the calculation, either way with the rest energy
        QVERIFY(!world.texts().empty());
        for (const std::string& t : world.texts())
            QVERIFY2(t.find("above the electron rest energy") != std::string::npos, t.c_str());
        QCOMPARE(textOf(w, "lWveLen"), wave);
        QCOMPARE(marker(w), 255);
    }

    void filterAndBeamPanel() {
        LinacWorld world;
        TfSPUnd* w = openSPUnd(world);
        child<QComboBox>(w, "coFilter")->setCurrentText(QStringLiteral("'Wig'"));  // quoted as typed
        click(w, "bbApply");
        QCOMPARE(child<DBGrid>(w, "DBGridSrce")->table().rowCount(), 3);
        world.w().spbeam->hide();
        QTest::mouseClick(child<QWidget>(w, "PnlBemPar"), Qt::LeftButton);
        QVERIFY(world.w().spbeam->isVisible());
        click(w, "tbExit");
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(SinglePassUndulatorWindow)
#include "single_pass_undulator_window_test.moc"
