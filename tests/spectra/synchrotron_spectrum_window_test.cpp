// The spectrum window through its controls: defaults, the quantity and scan selection, the
// step message, refusals before any work, the angle scan with its file and two curves,
// adding to the current curve, the normalised spectrum and the wiggler case.
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "../sources/bending_world.h"
#include "../sources/sr_reference.h"
#include "plot/graph_model.h"
#include "qcustomplot.h"

using namespace lumerad;
using namespace lumerad::bendtest;

namespace {

struct SpectrumWorld : World {
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
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace

class SynSpectrumWindow : public QObject {
    Q_OBJECT
private slots:
    void defaultsAndSelection();
    void stepMessage();
    void refusedBeforeAnyWork();
    void angleScanFileAndTwoCurves();
    void plotOffAddsToTheCurrentCurve();
    void normalisedEnergyScanStartsAtOne();
    void wigglerHasNoPiMode();
};

void SynSpectrumWindow::defaultsAndSelection() {
    SpectrumWorld x;
    QCOMPARE(x.s->windowTitle(), QStringLiteral("Lumerad Spectrum"));
    QCOMPARE(x.edit("e_phmin")->text(), QStringLiteral("10.0"));
    QCOMPARE(x.edit("e_phmax")->text(), QStringLiteral("25000.0"));
    QCOMPARE(x.edit("De_ph")->text(), QStringLiteral("5.0"));
    QCOMPARE(x.edit("BW")->text(), QStringLiteral("0.1"));
    QCOMPARE(x.edit("edAngMax")->text(), QStringLiteral("1.0"));
    QCOMPARE(x.edit("edDAng")->text(), QStringLiteral("0.1"));
    QCOMPARE(x.edit("edPhEn")->text(), QStringLiteral("100"));
    QVERIFY(child<QRadioButton>(x.s, "rgSpectrumItem0")->isChecked());
    QVERIFY(child<QRadioButton>(x.s, "rbAdd")->isChecked());
    QVERIFY(child<QCheckBox>(x.s, "cbPlot")->isChecked());
    QVERIFY(!child<QCheckBox>(x.s, "cbSave")->isChecked());
    QVERIFY(child<QWidget>(x.s, "rbPlotSel")->isHidden());
    QVERIFY(child<QWidget>(x.s, "pnWig")->isHidden());
    QVERIFY(child<QWidget>(x.s, "pnAng")->isHidden());
    QVERIFY(!x.edit("edVAng")->isEnabled());
    // the window computes the critical energy itself: 665 * 9 * 1.4
    QCOMPARE(child<QLabel>(x.s, "Ephcrit")->text(), QStringLiteral("   8.379"));
    QCOMPARE(child<QLabel>(x.s, "LeV3")->text(), QStringLiteral("keV"));
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

void SynSpectrumWindow::stepMessage() {
    SpectrumWorld x;
    auto* update = child<QToolButton>(x.s, "tbUpdate");
    x.edit("De_ph")->setText(QStringLiteral("0.05"));
    update->click();
    QCOMPARE(x.texts(), std::vector<std::string>{"step size too small! will be set to 0.1%!"});
    QCOMPARE(x.edit("De_ph")->text(), QStringLiteral("0.1"));
    // "0.1" itself comes out just below 0.1 % in the factor: the message again
    x.messages.clear();
    update->click();
    QCOMPARE(x.texts(), std::vector<std::string>{"step size too small! will be set to 0.1%!"});
    QCOMPARE(x.edit("De_ph")->text(), QStringLiteral("0.1"));
    QCOMPARE(x.session().RelBandWidth, 0.001);
}

void SynSpectrumWindow::refusedBeforeAnyWork() {
    SpectrumWorld x;
    child<QCheckBox>(x.s, "cbSave")->setChecked(true);
    x.dialogs.fileNames.push_back(x.dir.filePath("never.txt"));
    x.edit("De_ph")->setText(QStringLiteral("0.1"));
    x.show();
    // 10 eV to 25000 eV in 0.1 % steps would be 7828 points
    QCOMPARE(x.messages.log.size(), size_t(2));
    const std::string refusal = x.messages.log[1].text;
    QVERIFY2(refusal.find("7828") != std::string::npos && refusal.find("1001") != std::string::npos,
             refusal.c_str());
    QCOMPARE(x.dialogs.fileNames.size(), size_t(1));  // no file dialog
    QVERIFY(!QFile::exists(x.dir.filePath("never.txt")));
    QCOMPARE(x.g->CurveCount(), 0);  // no curve opened

    x.messages.clear();
    x.edit("De_ph")->setText(QStringLiteral("5"));
    x.edit("e_phmin")->setText(QStringLiteral("0"));
    x.show();
    QCOMPARE(x.messages.log.size(), size_t(1));
    QVERIFY(x.messages.log[0].text.find("minimum photon energy") != std::string::npos);

    x.messages.clear();
    x.edit("e_phmin")->setText(QStringLiteral("10"));
    x.item(3);
    child<QRadioButton>(x.s, "rbVsAng")->click();
    x.edit("edDAng")->setText(QStringLiteral("0"));
    x.show();
    QCOMPARE(x.messages.log.size(), size_t(1));
    QVERIFY(x.messages.log[0].text.find("angle step") != std::string::npos);
    QCOMPARE(x.g->CurveCount(), 0);
    QCOMPARE(x.dialogs.fileNames.size(), size_t(1));
}

void SynSpectrumWindow::angleScanFileAndTwoCurves() {
    SpectrumWorld x;
    x.item(3);
    child<QRadioButton>(x.s, "rbVsAng")->click();
    const QByteArray bytes = x.saveTo("angle.txt");
    QVERIFY2(x.messages.log.empty(), x.messages.log.empty() ? "" : x.messages.log[0].text.c_str());
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 2 + 11 + 1);
    QCOMPARE(lines[0],
             QByteArray(" sigma and pi-mode angular photon flux density vs observation angle (1/gamma)\r"));
    QCOMPARE(lines[1], QByteArray(" photon energy (eV)     sigma-mode_(ph/s/mr^2) pi-mode_(ph/s/mr^2)\r"));
    QCOMPARE(lines[2].size(), 3 * 23 + 1);
    QVERIFY(lines[2].startsWith(" 0.00000000000000E+0000"));
    // the eleventh angle is the sum of ten steps, 0.9999999999999999
    QVERIFY(lines[12].startsWith(" 1.00000000000000E+0000"));

    // a red sigma curve and a green pi curve, each with its information line
    QCOMPARE(x.g->CurveCount(), 2);
    const std::vector<int> shown = x.g->model().shownCurves();
    QCOMPARE(int(shown.size()), 2);
    QCOMPARE(x.g->model().info(shown[0], 9), std::string("sigma-mode photon flux"));
    QCOMPARE(x.g->model().info(shown[1], 9), std::string("pi-mode photon flux"));
    QCOMPARE(x.g->model().info(shown[0], 8), std::string("photon energy 100 eV"));
    QCOMPARE(x.g->model().info(shown[0], 0), std::string("sigma/pi-mode flux density, ph/s/mr^2"));
    QCOMPARE(x.g->series(shown[0])->pen().color(), QColor(255, 0, 0));
    QCOMPARE(x.g->series(shown[1])->pen().color(), QColor(0, 128, 0));
    QCOMPARE(x.g->series(shown[1])->data()->size(), 11);
    QCOMPARE(x.g->chart()->xAxis->label(), QStringLiteral("vert. obs. angle/gamma"));
    QCOMPARE(x.g->series(shown[1])->data()->at(0)->value, 0.0);  // no pi mode on the axis
}

void SynSpectrumWindow::plotOffAddsToTheCurrentCurve() {
    SpectrumWorld x;
    child<QCheckBox>(x.s, "cbPlot")->setChecked(false);
    x.show();  // no curve yet: one is opened
    QCOMPARE(x.g->CurveCount(), 1);
    x.show();  // appended to the same curve
    QCOMPARE(x.g->CurveCount(), 1);
    QCOMPARE(x.g->series(x.g->model().CurrentCurve)->data()->size(), 322);
    QCOMPARE(x.g->model().points(x.g->model().CurrentCurve).size(), size_t(322));
    QVERIFY(x.g->isVisible());
    QVERIFY(x.messages.log.empty());
}

void SynSpectrumWindow::normalisedEnergyScanStartsAtOne() {
    SpectrumWorld x;
    x.item(4);
    x.edit("edVAng")->setText(QStringLiteral("1.0"));
    x.show();
    QVERIFY(x.messages.log.empty());
    const std::vector<int> shown = x.g->model().shownCurves();
    QCOMPARE(int(shown.size()), 2);
    const auto& sigma = x.g->model().points(shown[0]);
    const auto& pi = x.g->model().points(shown[1]);
    QCOMPARE(sigma.front().y, 1.0);
    // both divided by the first sigma value, from the Bessel functions of the standard library
    const double y0 = 10.0 / 8379.0, y1 = 10.5 / 8379.0, P = std::pow(2.0, 1.5);
    const double s0 = std::pow(2 * y0 * testref::K23(y0 / 2 * P), 2);
    const double s1 = std::pow(2 * y1 * testref::K23(y1 / 2 * P), 2);
    const double p1 = std::pow(y1 * testref::K13(y1 / 2 * P), 2) * 2;
    QVERIFY(std::fabs(sigma[1].y - s1 / s0) < 1e-5 * s1 / s0);
    QVERIFY(std::fabs(pi[1].y - p1 / s0) < 1e-5 * p1 / s0);
    QCOMPARE(x.g->model().info(shown[1], 9), std::string("pi-mode photon flux (normalized)"));
}

void SynSpectrumWindow::wigglerHasNoPiMode() {
    SpectrumWorld x;
    Session& s = x.session();
    s.flags.BendMagMode = false;
    s.flags.WigglerMode = true;
    s.magnet.KValue = 10.0;
    x.item(3);
    x.edit("edVAng")->setText(QStringLiteral("0.5"));
    x.show();
    QCOMPARE(x.texts(), std::vector<std::string>{"there is no pi-mode polarization from a wiggler magnet!"});
    QCOMPARE(x.edit("Hobs")->text(), QStringLiteral("0.0"));
    QVERIFY(child<QLabel>(x.s, "HobsMax")->text().startsWith(QStringLiteral(" mr < ")));
    const std::vector<int> shown = x.g->model().shownCurves();
    QCOMPARE(int(shown.size()), 2);
    for (const auto& p : x.g->model().points(shown[1])) QCOMPARE(p.y, 0.0);
    for (const auto& p : x.g->model().points(shown[0])) QVERIFY(p.y > 0);
    QCOMPARE(x.g->model().info(shown[0], 8), std::string("number of poles       1"));
}

QTEST_MAIN(SynSpectrumWindow)
#include "synchrotron_spectrum_window_test.moc"
