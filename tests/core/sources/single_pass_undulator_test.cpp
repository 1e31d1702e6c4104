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
MagnetState magnet(const char* type = "EM", double period = 0.03) {
    MagnetState m;
    m.MagType = type;
    m.PermMag = type == std::string("PM") ? "hybrid" : "";
    m.PerLength = period;
    m.BField = 0.8;
    return m;
}

std::string textOf(const SinglePassUndulatorResult& r, const std::string& name) {
    return testref::fieldText(r.fields, name);
}
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
        RecordingMessages m;
        MagnetState mag = magnet();
        SinglePassUndulatorInputs in;
        in.Wfield = "1.0";
        in.gamma = c.gamma;
        in.bunchLength = 1e-6;
        in.distribution = "g";
        SinglePassUndulatorResult r;
        SinglePassUndulator(in, mag, m, r);
        EXPECT_TRUE(m.log.empty());
        EXPECT_EQ(mag.BField, 1.0);
        EXPECT_NEAR(r.K, 2.8032, 1e-12);
        EXPECT_NEAR(r.lambda1, 0.03 / (2 * c.gamma * c.gamma) * (1 + 2.8032 * 2.8032 / 2), 1e-20);
        EXPECT_EQ(textOf(r, "Kpar"), "   2.803");
        EXPECT_EQ(textOf(r, "lWveLen"), c.wave);
        EXPECT_EQ(textOf(r, "lWveNum"), c.number);
        EXPECT_EQ(textOf(r, "Edtxmax"), c.displacement);
        EXPECT_EQ(textOf(r, "Edtmxdefl"), c.deflection);
        EXPECT_FALSE(r.WfieldText.has_value());
    }
}

TEST(SinglePassUndulator, FormFactorAtTheFundamental) {
    // gamma 100, K 0: lambda1 = 0.03 / 20000 = 1.5 um; the bunch length is set relative to it
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
        SCOPED_TRACE(c.ff);
        RecordingMessages m;
        MagnetState mag = magnet();
        SinglePassUndulatorInputs in;
        in.Wfield = "0";
        in.gamma = 100;
        in.bunchLength = c.ratio * l1;
        in.distribution = c.distr;
        SinglePassUndulatorResult r;
        SinglePassUndulator(in, mag, m, r);
        EXPECT_NEAR(r.lambda1, l1, 1e-20);
        EXPECT_EQ(textOf(r, "Edtxmax"), "0.0");
        EXPECT_EQ(textOf(r, "Edtmxdefl"), "0.0");
        EXPECT_EQ(textOf(r, "lDistr"), c.shape);
        EXPECT_EQ(textOf(r, "lFF"), c.ff);
    }
}

TEST(SinglePassUndulator, PermanentMagnetShowsItsFieldInTheBox) {
    RecordingMessages m;
    MagnetState mag = magnet("PM");
    SinglePassUndulatorInputs in;
    in.wfieldEnabled = false;
    in.Wfield = "not read";
    in.gamma = 100;
    in.distribution = "g";
    SinglePassUndulatorResult r;
    SinglePassUndulator(in, mag, m, r);
    EXPECT_EQ(*r.WfieldText, "   0.800");
    EXPECT_EQ(textOf(r, "MagTyp"), "hybrid");
    EXPECT_NEAR(r.K, 93.44 * 0.8 * 0.03, 1e-12);
}

TEST(SinglePassUndulator, UnknownMagnetTypeComputesNoWavelengthAndNoFormFactor) {
    RecordingMessages m;
    MagnetState mag = magnet("XX");
    SinglePassUndulatorInputs in;
    in.Wfield = "1";
    in.gamma = 100;
    in.distribution = "g";
    SinglePassUndulatorResult r;
    SinglePassUndulator(in, mag, m, r);
    EXPECT_EQ(m.texts(), std::vector<std::string>{kChooseMagnetComponentText});
    EXPECT_FALSE(r.magnetValid);
    EXPECT_EQ(textOf(r, "Kpar"), "   2.803");
    for (const char* n : {"lWveLen", "lWveNum", "Edtxmax", "Edtmxdefl", "lDistr", "lFF"})
        EXPECT_EQ(textOf(r, n), "<absent>") << n;
}

TEST(SinglePassUndulator, Refusals) {
    struct Case {
        double gamma, period;
        const char* field;
        std::string text;
    } cases[] = {
        {1.0, 0.03, "1",
         "the beam energy must be above the electron rest energy (gamma > 1): choose a single-pass beam!"},
        {0.0, 0.03, "1",
         "the beam energy must be above the electron rest energy (gamma > 1): choose a single-pass beam!"},
        {100, 0.0, "1", "the period length of the undulator must be greater than 0!"},
        {100, 0.03, "", "'' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        RecordingMessages m;
        MagnetState mag = magnet("EM", c.period);
        SinglePassUndulatorInputs in;
        in.Wfield = c.field;
        in.gamma = c.gamma;
        SinglePassUndulatorResult r;
        EXPECT_EQ(thrown<InputError>([&] { SinglePassUndulator(in, mag, m, r); }), c.text);
        EXPECT_TRUE(r.fields.empty());
    }
}
