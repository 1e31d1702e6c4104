// The spectrum window through its controls: defaults, the quantity and scan selection, the
// step message, refusals before any work, the angle scan with its file and two curves,
// adding to the current curve, and the wiggler case with its normalised spectrum.
#include "../../support/program_world.h"
#include "core/plot/graph_model.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {

struct SpectrumWorld : BendWorld {
    TfSynSpectrum* s;
    TfGraphs* g;
    SpectrumWorld() {
        child<QAbstractButton>(w().synRad, "tbSpectrum")->click();
        s = w().synSpectrum;
        g = w().graphs;
    }
    QLineEdit* edit(const char* n) { return child<QLineEdit>(s, n); }
    void item(int i) { child<QRadioButton>(s, ("rgSpectrumItem" + std::to_string(i)).c_str())->click(); }
    void show() { child<QPushButton>(s, "bbShowGraph")->click(); }
    QByteArray saveTo(const QString& name) {
        child<QCheckBox>(s, "cbSave")->setChecked(true);
        dialogs.fileNames.push_back(dir.filePath(name));
        show();
        return readFile(dir.filePath(name));
    }
};

}  // namespace

namespace {
// The session as the wiggler window leaves it before it opens the spectrum: a 20-pole
// device with a 60 mm period and K = 12, at the 1.4 T of the dipole picked before.
void prepareWiggler(Session& s) {
    s.flags.BendMagMode = false;
    s.flags.WigglerMode = true;
    s.magnet.KValue = 12.0;
    s.magnet.NPoles = 20;
    s.magnet.PerLength = 0.06;
    s.magnet.SrcName = "W60";
}
}  // namespace

class SynSpectrumWindow : public QObject {
    Q_OBJECT
private slots:
    void defaultsAndSelection() {
        SpectrumWorld x;
        QVERIFY(child<QRadioButton>(x.s, "rgSpectrumItem0")->isChecked());
        QVERIFY(child<QWidget>(x.s, "rbPlotSel")->isHidden());
        QVERIFY(child<QWidget>(x.s, "pnWig")->isHidden());
        QVERIFY(child<QWidget>(x.s, "pnAng")->isHidden());
        QVERIFY(!x.edit("edVAng")->isEnabled());
        // the window computes the critical energy itself: 665 * 9 * 1.4
        QCOMPARE(child<QLabel>(x.s, "Ephcrit")->text(), QStringLiteral("   8.379"));
        QCOMPARE(child<QLabel>(x.s, "MaxFld")->text(), QStringLiteral("   1.400"));
        QCOMPARE(x.edit("Hobs")->text(), QString());  // bending-magnet mode
        QCOMPARE(child<QLabel>(x.s, "HobsMax")->text(), QString());

        x.item(3);
        QVERIFY(!child<QWidget>(x.s, "rbPlotSel")->isHidden());
        QVERIFY(x.edit("edVAng")->isEnabled());
        QVERIFY(child<QRadioButton>(x.s, "rbPhEn")->isChecked());
        child<QRadioButton>(x.s, "rbVsAng")->click();
        QVERIFY(child<QWidget>(x.s, "pnPhEn")->isHidden());
        QVERIFY(!child<QWidget>(x.s, "pnAng")->isHidden());
        x.item(5);
        QVERIFY(child<QWidget>(x.s, "rbPlotSel")->isHidden());
        QVERIFY(child<QWidget>(x.s, "pnAng")->isHidden());
        QVERIFY(!child<QWidget>(x.s, "pnPhEn")->isHidden());
        // show graph for a quantity without polarisation goes back to the energy scan
        x.show();
        QVERIFY(child<QRadioButton>(x.s, "rbPhEn")->isChecked());
        QVERIFY(x.messages.log.empty());
    }

    void stepMessage() {
        SpectrumWorld x;
        auto* update = child<QToolButton>(x.s, "tbUpdate");
        x.edit("De_ph")->setText(QStringLiteral("0.05"));
        update->click();
        QCOMPARE(x.texts(), std::vector<std::string>{"step size too small! will be set to 0.1%!"});
        QCOMPARE(x.edit("De_ph")->text(), QStringLiteral("0.1"));  // (which repeats the message: core tests)
        QCOMPARE(x.session().RelBandWidth, 0.001);
    }

    // Each refusal comes before the file dialog and before a curve is opened: neither a file nor
    // a curve is left half made.
    void refusedBeforeAnyWork() {
        struct Case {
            int item;
            std::vector<std::pair<const char*, const char*>> edits;
            double sigYb, field;  // below 0: as the world has them
            size_t messages;
            const char* last;  // the last message; with a leading '~' the parts it holds
        } cases[] = {
            // 10 eV to 25000 eV in 0.1 % steps would be 7828 points (after the note on the step)
            {0, {{"De_ph", "0.1"}}, -1, -1, 2, "~7828|1001"},
            {0, {{"e_phmin", "0"}}, -1, -1, 1, "~minimum photon energy"},
            {3, {{"rbVsAng", ""}, {"edDAng", "0"}}, -1, -1, 1, "~angle step"},
            {3,
             {{"rbVsAng", ""}, {"edPhEn", "-5"}},
             -1,
             -1,
             1,
             "the photon energy must be greater than 0 eV!"},
            // a zero beam size divides in the spatial flux density
            {1, {}, 0, -1, 1, "Floating point division by zero"},
            // a weak dipole: 665 * 9 * 0.05 = 299.25 eV, so 25 keV is 84 critical energies, beyond
            // the reach of K2/3 on the axis; the opening angle is refused with the limit
            {5,
             {},
             -1,
             0.05,
             1,
             "the opening angle cannot be computed above 70 critical energies (20948 eV), where the on-axis "
             "flux density vanishes! choose a smaller maximum photon energy."},
        };
        for (const Case& c : cases) {
            SpectrumWorld x;
            child<QCheckBox>(x.s, "cbSave")->setChecked(true);
            x.dialogs.fileNames.push_back(x.dir.filePath("never.txt"));
            x.item(c.item);
            for (const auto& [name, text] : c.edits)
                *text ? x.edit(name)->setText(QString::fromLatin1(text))
                      : child<QRadioButton>(x.s, name)->click();
            if (c.sigYb >= 0) x.session().beam.SigYb = c.sigYb;
            if (c.field >= 0) x.session().magnet.BField = c.field;
            x.show();
            QCOMPARE(x.messages.log.size(), c.messages);
            const QString last = QString::fromStdString(x.messages.log.back().text);
            if (c.last[0] != '~') QCOMPARE(last, QString::fromLatin1(c.last));
            for (const QString& part : QString::fromLatin1(c.last + 1).split('|'))
                if (c.last[0] == '~') QVERIFY2(last.contains(part), qPrintable(last));
            QCOMPARE(x.dialogs.fileNames.size(), size_t(1));  // no file dialog
            QVERIFY(!QFile::exists(x.dir.filePath("never.txt")));
            QCOMPARE(x.g->CurveCount(), 0);  // no curve opened
            // the weak dipole's angular flux up to 20 keV is just very small
            if (c.field < 0) continue;
            x.messages.clear();
            x.edit("e_phmax")->setText(QStringLiteral("20000"));
            x.show();
            QVERIFY(x.messages.log.empty());
            QCOMPARE(x.g->CurveCount(), 1);
        }
    }

    void angleScanFileAndTwoCurves() {
        SpectrumWorld x;
        x.item(3);
        child<QRadioButton>(x.s, "rbVsAng")->click();
        QCOMPARE(x.saveTo("angle.txt").count("\r\n"), 2 + 11);  // its lines: core and cli tests
        QVERIFY2(x.messages.log.empty(), x.messages.log.empty() ? "" : x.messages.log[0].text.c_str());
        // a red sigma curve and a blue pi curve, each with its information line
        QCOMPARE(x.g->CurveCount(), 2);
        const std::vector<int> shown = x.g->model().shownCurves();
        QCOMPARE(int(shown.size()), 2);
        QCOMPARE(x.g->model().info(shown[0], 9), std::string("sigma-mode photon flux"));
        QCOMPARE(x.g->model().info(shown[1], 9), std::string("pi-mode photon flux"));
        QCOMPARE(x.g->model().info(shown[0], 8), std::string("photon energy 100 eV"));
        QCOMPARE(curve(x.g, shown[0])->pen().color(), QColor(255, 0, 0));
        QCOMPARE(curve(x.g, shown[1])->pen().color(), QColor(0, 0, 255));
        QCOMPARE(curve(x.g, shown[1])->data()->size(), 11);
        QCOMPARE(curve(x.g, shown[1])->data()->at(0)->value, 0.0);  // no pi mode on the axis
    }

    void plotOffAddsToTheCurrentCurve() {
        SpectrumWorld x;
        child<QCheckBox>(x.s, "cbPlot")->setChecked(false);
        x.show();  // no curve yet: one is opened
        QCOMPARE(x.g->CurveCount(), 1);
        x.show();  // appended to the same curve
        QCOMPARE(x.g->CurveCount(), 1);
        QCOMPARE(curve(x.g, x.g->model().CurrentCurve)->data()->size(), 322);
        QCOMPARE(x.g->model().points(x.g->model().CurrentCurve).size(), size_t(322));
        QVERIFY(x.g->isVisible());
        QVERIFY(x.messages.log.empty());
    }

    void wigglerDisplayAndLegend() {
        SpectrumWorld x;
        prepareWiggler(x.session());
        x.edit("Hobs")->setText(QStringLiteral("1.5"));  // reset by every calculation
        x.s->formShow();
        QVERIFY(x.messages.log.empty());
        QCOMPARE(child<QLabel>(x.s, "KPar")->text(), QStringLiteral("  12.000"));
        QCOMPARE(child<QLabel>(x.s, "Poles")->text(), QStringLiteral("   20"));
        QCOMPARE(child<QLabel>(x.s, "MaxFld")->text(), QStringLiteral("   1.400"));
        QVERIFY(child<QWidget>(x.s, "pnWig")->isHidden());
        QCOMPARE(x.edit("Hobs")->text(), QStringLiteral("0.0"));
        // K / gamma = 12 / (3 GeV / 511003 eV) = 2.04401 mrad
        auto* hobsMax = child<QLabel>(x.s, "HobsMax");
        QCOMPARE(hobsMax->text(), QStringLiteral(" mr <    2.044 mr"));
        QCOMPARE(x.session().CritEnergy, 665.0 * 9.0 * 1.4);

        x.show();
        QVERIFY(x.messages.log.empty());
        // the legend takes the wiggler's magnet from the shared state
        const GraphModel& m = x.g->model();
        QCOMPARE(m.info(m.CurrentCurve, 6), std::string("source magnet     W60"));
        QCOMPARE(m.info(m.CurrentCurve, 9), std::string("period length     60.000 mm"));

        // back in bending-magnet mode the K label goes, the pole count stays on display
        x.session().flags.WigglerMode = false;
        x.session().flags.BendMagMode = true;
        x.s->formShow();
        QCOMPARE(child<QLabel>(x.s, "LKPar")->text(), QString());
        QCOMPARE(x.edit("Hobs")->text(), QString());
        QCOMPARE(hobsMax->text(), QString());
    }

    // Each pole is a bending magnet: 20 poles give twice the flux of 10 (the flux itself: core tests).
    void wigglerFluxCountsEveryPole() {
        SpectrumWorld x;
        std::vector<CurvePoint> flux[2];
        for (int poles : {20, 10}) {
            prepareWiggler(x.session());
            x.session().magnet.NPoles = poles;
            x.s->formShow();
            x.show();
            flux[poles == 10] = x.g->model().points(x.g->model().CurrentCurve);
        }
        QVERIFY(x.messages.log.empty());
        QCOMPARE(flux[0].size(), flux[1].size());
        for (size_t i = 0; i < flux[0].size(); i += 20)
            QVERIFY(std::fabs(flux[0][i].y / flux[1][i].y - 2) < 1e-12);
    }

    void wigglerNormalisedAndZeroK() {
        SpectrumWorld x;
        prepareWiggler(x.session());
        x.s->formShow();
        x.item(4);
        x.edit("edVAng")->setText(QStringLiteral("0.5"));
        x.show();
        QCOMPARE(x.texts(),
                 std::vector<std::string>{"there is no pi-mode polarization from a wiggler magnet!"});
        const std::vector<int> shown = x.g->model().shownCurves();
        QCOMPARE(int(shown.size()), 2);
        QCOMPARE(x.g->model().points(shown[0]).front().y, 1.0);
        for (const auto& p : x.g->model().points(shown[1])) QCOMPARE(p.y, 0.0);
        QCOMPARE(x.g->model().info(shown[1], 9), std::string("pi-mode photon flux (normalized)"));
        QCOMPARE(x.g->model().info(shown[1], 8), std::string("number of poles      20"));

        // K = 0 leaves the field at the observation point undefined: the action stops before
        // anything is plotted
        x.messages.clear();
        x.session().magnet.KValue = 0;
        const int curves = x.g->CurveCount();
        x.item(0);
        x.show();
        QCOMPARE(x.texts(), std::vector<std::string>{"Invalid floating point operation"});
        QCOMPARE(x.g->CurveCount(), curves);
    }
};

QTEST_MAIN(SynSpectrumWindow)
#include "synchrotron_spectrum_window_test.moc"
