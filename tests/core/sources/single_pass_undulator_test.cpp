// The single-pass undulator: the undulator equation worked by hand, the form factor at the
// fundamental, and what the calculation refuses or leaves uncomputed.
#include "core/sources/single_pass_undulator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

using namespace lumerad;

namespace {
// One calculation with a magnet of 0.8 T and the given type and period.
struct Pass {
    RecordingMessages messages;
    MagnetState magnet;
    SinglePassUndulatorResult r;
    Pass(const char* type, double gamma, const char* field, double bunchLength = 0, const char* distr = "g",
         double period = 0.03) {
        magnet.MagType = type;
        magnet.PermMag = type == std::string("PM") ? "hybrid" : "";
        magnet.PerLength = period;
        magnet.BField = 0.8;
        SinglePassUndulator({.wfieldEnabled = type != std::string("PM"),
                             .Wfield = field,
                             .gamma = gamma,
                             .bunchLength = bunchLength,
                             .distribution = distr},
                            magnet, messages, r);
    }
    std::string operator[](const std::string& name) const { return testref::fieldText(r.fields, name); }
};
}  // namespace

TEST(SinglePassUndulator, UndulatorEquationByHand) {
    // B = 1 T, period 30 mm: K = 93.44 * 0.03 = 2.8032; lambda1 = 0.03 / (2 gamma^2) (1 + K^2 / 2)
    struct Case {
        double gamma;
        const char *wave, *number, *displacement, *deflection;
    } cases[] = {
        // 7.393448 um, 1352.549 1/cm, K lambda_u / (2 pi gamma) = 133.84 um, K / gamma = 28032 urad
        {100, "fundamental wavelength:    7.393 um", "wavenumber............: 1352.549 1/cm", "133.8",
         "2.803E4"},
        {1000, "fundamental wavelength:    0.074 um", "wavenumber............: 135254.896 1/cm", "13.4",
         "2803.0"},
    };
    for (const Case& c : cases) {
        const Pass x("EM", c.gamma, "1.0", 1e-6);
        EXPECT_TRUE(x.messages.log.empty());
        EXPECT_EQ(x.magnet.BField, 1.0);
        EXPECT_NEAR(x.r.K, 2.8032, 1e-12);
        EXPECT_NEAR(x.r.lambda1, 0.03 / (2 * c.gamma * c.gamma) * (1 + 2.8032 * 2.8032 / 2), 1e-20);
        EXPECT_EQ(x["Kpar"], "   2.803");
        EXPECT_EQ(x["lWveLen"], c.wave);
        EXPECT_EQ(x["lWveNum"], c.number);
        EXPECT_EQ(x["Edtxmax"], c.displacement);
        EXPECT_EQ(x["Edtmxdefl"], c.deflection);
        EXPECT_FALSE(x.r.WfieldText.has_value());
    }
}

TEST(SinglePassUndulator, FormFactorAtTheFundamental) {
    // gamma 100, K ~ 0 (1 nT): lambda1 = 0.03 / 20000 = 1.5 um; the bunch length is set relative to it
    const double l1 = 1.5e-6;
    struct Case {
        const char* distr;
        double ratio;
        const char *shape, *ff;
    } cases[] = {
        {"g", 1.0, "particle distribution is gaussian", "formfactor = 0.001867"},  // exp(-2 pi)
        {"g", 0.1, "particle distribution is gaussian", "formfactor =   0.9391"},  // exp(-0.02 pi)
        {"r", 0.5, "particle distribution is uniform", "formfactor =   0.4053"},   // (2 / pi)^2
        {"G", 0.5, "particle distribution is uniform", "formfactor =   0.4053"},   // only "g" is Gaussian
        {"r", 0.0, "particle distribution is uniform", "formfactor =        1"},   // a point bunch
    };
    for (const Case& c : cases) {
        const Pass x("EM", 100, "1e-9", c.ratio * l1, c.distr);
        EXPECT_NEAR(x.r.lambda1, l1, 1e-20) << c.ff;
        EXPECT_EQ(x["Edtxmax"], "0.0");
        EXPECT_EQ(x["Edtmxdefl"], "0.0");
        EXPECT_EQ(x["lDistr"], c.shape);
        EXPECT_EQ(x["lFF"], c.ff);
    }
}

// A permanent magnet shows its field in the box (which is not read); an unknown type gives K
// but no wavelength and no form factor.
TEST(SinglePassUndulator, PermanentOrUnknownMagnet) {
    const Pass pm("PM", 100, "not read");
    EXPECT_EQ(*pm.r.WfieldText, "   0.800");
    EXPECT_EQ(pm["MagTyp"], "hybrid");
    EXPECT_NEAR(pm.r.K, 93.44 * 0.8 * 0.03, 1e-12);

    const Pass xx("XX", 100, "1");
    EXPECT_EQ(xx.messages.texts(), std::vector<std::string>{kChooseMagnetComponentText});
    EXPECT_FALSE(xx.r.magnetValid);
    EXPECT_EQ(xx["Kpar"], "   2.803");
    for (const char* n : {"lWveLen", "lWveNum", "Edtxmax", "Edtmxdefl", "lDistr", "lFF"})
        EXPECT_EQ(xx[n], "<absent>") << n;
}

TEST(SinglePassUndulator, Refusals) {
    const std::string restEnergy =
        "the beam energy must be above the electron rest energy (gamma > 1): choose a single-pass beam!";
    struct Case {
        double gamma, period;
        const char* field;
        std::string text;
    } cases[] = {
        {1.0, 0.03, "1", restEnergy},
        {0.0, 0.03, "1", restEnergy},
        {100, 0.0, "1", "the period length of the undulator must be greater than 0!"},
        {100, 0.03, "", "'' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SinglePassUndulatorResult r;
        EXPECT_EQ(thrown<InputError>([&] {
                      Pass x("EM", c.gamma, c.field, 0, "", c.period);
                      r = x.r;
                  }),
                  c.text);
        EXPECT_TRUE(r.fields.empty());
    }
}
