// The transition-radiation window through its controls, on the FLASH linac accepted in the
// single-pass editor: coherent and incoherent at 10 1/cm, the acceptance angle typed from the
// keyboard, and the refusals of inputs without meaning.

#include "core/coherent/form_factor.h"
#include "linac_world.h"

using namespace lumerad;
using namespace lumerad::lintest;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kC = 299792458.0;
constexpr double kH = 6.626176e-34;
constexpr double kAlpha = 0.0072973504;
constexpr double kGamma = 2446.16959;  // 1250 MeV / 0.511003 MeV, the record's five decimals
constexpr double kN = 31.2e8;

// The integral of sin^3 t / (1 - beta^2 cos^2 t)^2 from 0 to theta, finely where the
// distribution peaks near 1/gamma.
double gfIntegral(double theta) {
    const double b2 = 1 - 1 / (kGamma * kGamma);
    auto f = [b2](double t) {
        const double s = std::sin(t), c = std::cos(t), d = 1 - b2 * c * c;
        return s * s * s / (d * d);
    };
    double sum = 0;
    double a = 0;
    for (double edge : {0.01, theta}) {  // [0, 0.01] in fine steps, the rest coarser
        const double b = std::min(edge, theta);
        if (b <= a) continue;
        const int n = 200000;
        const double h = (b - a) / n;
        double s = f(a) + f(b);
        for (int i = 1; i < n; ++i) s += f(a + i * h) * (i % 2 ? 4 : 2);
        sum += s * h / 3;
        a = b;
    }
    return sum;
}

double number(QWidget* w, const char* name) { return textOf(w, name).toDouble(); }

// Ginzburg-Frank over the half space, alpha/(2 pi) F N h c / lambda BW per bunch.
double incoherentEnergy(double lambda, double bw) {
    const double b = std::sqrt(1 - 1 / (kGamma * kGamma));
    const double F = (1 + b * b) / b * std::log((1 + b) / (1 - b)) - 2;
    return kAlpha / (2 * kPi) * F * kN * kH * kC / lambda * bw;
}

TfTR* openTR(World& world) {
    click(world.w().start, "TR");
    TfTR* w = world.w().tr;
    if (!w->isVisible()) qFatal("transition radiation window not shown");
    w->formActivate();
    return w;
}
}  // namespace

class TransitionRadiationWindow : public QObject {
    Q_OBJECT
private slots:
    void coherentAndIncoherent();
    void angleTypedFromTheKeyboardCounts();
    void refusals();
};

void TransitionRadiationWindow::coherentAndIncoherent() {
    World world;
    TfTR* w = openTR(world);
    click(w, "RBcm");
    child<QLineEdit>(w, "EdtPhEn")->setText(QStringLiteral("10"));
    click(w, "Calculate");
    QVERIFY(world.messages.log.empty());
    QVERIFY(!child<QPushButton>(w, "Calculate")->isEnabled());

    // 200 fs Gaussian at 1 mm: FF = exp(-2 pi (c 200 fs / 1 mm)^2) = 0.97767
    const double ff = std::exp(-2 * kPi * std::pow(kC * 200e-15 / 1e-3, 2));
    QCOMPARE(textOf(w, "EdtFormF"), QStringLiteral("0.97767"));
    const double coherent = number(w, "EdtTradBun");
    QVERIFY(!textOf(w, "EdtTEnthBun").isEmpty());
    QVERIFY(std::fabs(number(w, "EdtTradPls") / (coherent * 800) - 1) < 1e-3);

    click(w, "RBincoh");
    QVERIFY(child<QPushButton>(w, "Calculate")->isEnabled());
    QVERIFY(!child<QLabel>(w, "LFormFctr")->isVisible());
    click(w, "Calculate");
    const double incoherent = number(w, "EdtTradBun");
    QVERIFY(std::fabs(incoherent / incoherentEnergy(1e-3, 0.001) - 1) < 5e-4);
    // the bunch radiates N FF times more coherently than incoherently
    QVERIFY(std::fabs(coherent / incoherent / ((kN - 1) * ff + 1) - 1) < 1e-3);
    for (const char* n : {"EdtTEnthBun", "EdtTEnthPlse", "EdtTPowtheta"}) QCOMPARE(textOf(w, n), QString());
    QCOMPARE(textOf(w, "EdtFormF"), QStringLiteral("0"));
    // per pulse and per second: 800 bunches, 10 pulses a second
    QVERIFY(std::fabs(number(w, "EdtRadPow") / (incoherent * 8000) - 1) < 1e-3);

    click(w, "RBcoherent");
    QVERIFY(child<QLabel>(w, "LFormFctr")->isVisible());
}

void TransitionRadiationWindow::angleTypedFromTheKeyboardCounts() {
    World world;
    TfTR* w = openTR(world);
    auto* mrad = child<QLineEdit>(w, "EdtAngAccmr");
    mrad->selectAll();
    QTest::keyClicks(mrad, QStringLiteral("10"));
    click(w, "Calculate");
    QVERIFY(world.messages.log.empty());
    QCOMPARE(textOf(w, "EdtAngAccGam"), QStringLiteral("24.462"));  // 10 mrad times gamma
    // the cone's share of the half-space energy: the Ginzburg-Frank distribution integrated
    // over the cone and over the half space by Simpson's rule
    const double half = number(w, "EdtTradBun"), cone = number(w, "EdtAccEnBun");
    QVERIFY(std::fabs(cone / half / (gfIntegral(0.01) / gfIntegral(kPi / 2)) - 1) < 1e-3);

    // a typed angle in units of 1/gamma now counts, and the mrad field follows
    auto* gam = child<QLineEdit>(w, "EdtAngAccGam");
    gam->selectAll();
    QTest::keyClicks(gam, QStringLiteral("5"));
    click(w, "Calculate");
    QCOMPARE(textOf(w, "EdtAngAccmr"), QStringLiteral("2.044"));  // 5 / 2446.17 rad
}

// Each refusal leaves the results of the last calculation; a leading '~' marks a part every
// message holds (a field of the record may be refused as it is typed and again by the calculation).
void TransitionRadiationWindow::refusals() {
    struct Case {
        const char *unitButton, *photon, *bandWidth;
        const char *recordField, *recordText;
        const char* message;
    } cases[] = {
        {"RBcm", "0", "0.001", nullptr, nullptr,
         "select photon energy ! (a wave number of 0 has no wave length)"},
        {"RBeV", "1", "-0.01", nullptr, nullptr, "the band width must be positive!"},
        // an unknown distribution stops after its message; the form factor is not touched
        {"RBeV", "1.0", "0.001", "DBEdtDistribution", "x", kSelectDistributionText},
        // a coherent point bunch, and a beam at the rest energy
        {"RBeV", "1.0", "0.001", "DBEdtBunchDuration", "0",
         "a coherent calculation needs a bunch length above 0 fs: the integrated form factor of a "
         "point bunch has no end!"},
        {"RBeV", "1.0", "0.001", "DBEdtEnergy", "0.4", "~above the electron rest energy"},
    };
    for (const Case& c : cases) {
        World world;
        TfTR* w = openTR(world);
        click(w, "Calculate");
        const QString before = textOf(w, "EdtTradBun"), ff = textOf(w, "EdtFormF");
        world.messages.clear();
        click(w, c.unitButton);
        child<QLineEdit>(w, "EdtPhEn")->setText(QString::fromLatin1(c.photon));
        child<QLineEdit>(w, "EdtBnWdth")->setText(QString::fromLatin1(c.bandWidth));
        if (c.recordField) typeInto(child<DBEdit>(w, c.recordField), QString::fromLatin1(c.recordText));
        click(w, "Calculate");
        if (c.message[0] != '~') QCOMPARE(world.texts(), std::vector<std::string>{c.message});
        QVERIFY(!world.texts().empty());
        for (const std::string& t : world.texts())
            QVERIFY2(c.message[0] != '~' || t.find(c.message + 1) != std::string::npos, t.c_str());
        QCOMPARE(textOf(w, "EdtTradBun"), before);
        QCOMPARE(textOf(w, "EdtFormF"), ff);
        QVERIFY(child<QPushButton>(w, "Calculate")->isEnabled());
    }
}

QTEST_MAIN(TransitionRadiationWindow)
#include "transition_radiation_window_test.moc"
