// The transition-radiation window through its controls, on the FLASH linac accepted in the
// single-pass editor: coherent and incoherent at 10 1/cm, the acceptance angle typed from the
// keyboard, and the refusals of inputs without meaning.

#include "../../support/program_world.h"
#include "core/coherent/form_factor.h"

using namespace lumerad;
using namespace lumerad::worldtest;

namespace {
constexpr double kN = 31.2e8;  // electrons a bunch

double number(QWidget* w, const char* name) { return textOf(w, name).toDouble(); }

TfTR* openTR(LinacWorld& world) {
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
    void coherentAndIncoherent() {
        LinacWorld world;
        TfTR* w = openTR(world);
        click(w, "RBcm");
        child<QLineEdit>(w, "EdtPhEn")->setText(QStringLiteral("10"));
        click(w, "Calculate");
        QVERIFY(world.messages.log.empty());
        QVERIFY(!child<QPushButton>(w, "Calculate")->isEnabled());

        // 200 fs Gaussian at 1 mm: FF = exp(-2 pi (c 200 fs / 1 mm)^2) = 0.97767; the energies
        // against the Ginzburg-Frank distribution are core tests
        const double ff = 0.97767;
        QCOMPARE(textOf(w, "EdtFormF"), QStringLiteral("0.97767"));
        const double coherent = number(w, "EdtTradBun");
        QVERIFY(!textOf(w, "EdtTEnthBun").isEmpty());
        QVERIFY(std::fabs(number(w, "EdtTradPls") / (coherent * 800) - 1) < 1e-3);

        click(w, "RBincoh");
        QVERIFY(child<QPushButton>(w, "Calculate")->isEnabled());
        QVERIFY(!child<QLabel>(w, "LFormFctr")->isVisible());
        click(w, "Calculate");
        const double incoherent = number(w, "EdtTradBun");
        // the bunch radiates N FF times more coherently than incoherently
        QVERIFY(std::fabs(coherent / incoherent / ((kN - 1) * ff + 1) - 1) < 1e-3);
        for (const char* n : {"EdtTEnthBun", "EdtTEnthPlse", "EdtTPowtheta"})
            QCOMPARE(textOf(w, n), QString());
        QCOMPARE(textOf(w, "EdtFormF"), QStringLiteral("0"));
        // per pulse and per second: 800 bunches, 10 pulses a second
        QVERIFY(std::fabs(number(w, "EdtRadPow") / (incoherent * 8000) - 1) < 1e-3);

        click(w, "RBcoherent");
        QVERIFY(child<QLabel>(w, "LFormFctr")->isVisible());
    }

    void angleTypedFromTheKeyboardCounts() {
        LinacWorld world;
        TfTR* w = openTR(world);
        auto* mrad = child<QLineEdit>(w, "EdtAngAccmr");
        mrad->selectAll();
        QTest::keyClicks(mrad, QStringLiteral("10"));
        click(w, "Calculate");
        QVERIFY(world.messages.log.empty());
        QCOMPARE(textOf(w, "EdtAngAccGam"), QStringLiteral("24.462"));  // 10 mrad times gamma
        const double half = number(w, "EdtTradBun"), cone = number(w, "EdtAccEnBun");
        QVERIFY(cone > 0 && cone < half);  // the cone's share itself: core tests

        // a typed angle in units of 1/gamma now counts, and the mrad field follows
        auto* gam = child<QLineEdit>(w, "EdtAngAccGam");
        gam->selectAll();
        QTest::keyClicks(gam, QStringLiteral("5"));
        click(w, "Calculate");
        QCOMPARE(textOf(w, "EdtAngAccmr"), QStringLiteral("2.044"));  // 5 / 2446.17 rad
    }

    // Each refusal leaves the results of the last calculation; a leading '~' marks a part every
    // message holds (a field of the record may be refused as it is typed and again by the calculation).
    void refusals() {
        struct Case {
            const char *unitButton, *photon, *bandWidth;
            const char *recordField, *recordText;
            const char* message;
        } cases[] = {
            {"RBcm", "0", "0.001", nullptr, nullptr,
             "select photon energy ! (a wave number of 0 has no wave length)"},
            // an unknown distribution stops after its message; the form factor is not touched
            {"RBeV", "1.0", "0.001", "DBEdtDistribution", "x", kSelectDistributionText},
            // a coherent point bunch, and a beam at the rest energy
            {"RBeV", "1.0", "0.001", "DBEdtBunchDuration", "0",
             "a coherent calculation needs a bunch length above 0 fs: the integrated form factor of a "
             "point bunch has no end!"},
            {"RBeV", "1.0", "0.001", "DBEdtEnergy", "0.4", "~above the electron rest energy"},
        };
        for (const Case& c : cases) {
            LinacWorld world;
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
};

QTEST_MAIN(TransitionRadiationWindow)
#include "transition_radiation_window_test.moc"
