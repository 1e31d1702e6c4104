#include "core/sources/single_pass_undulator.h"

#include <cmath>

#include "core/coherent/form_factor.h"
#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
constexpr double kPerTeslaMetre = 93.44;  // K = 93.44 B lambda_u
}

void SinglePassUndulator(const SinglePassUndulatorInputs& in, MagnetState& magnet, Messages& messages,
                         SinglePassUndulatorResult& r) {
    r = SinglePassUndulatorResult{};
    // 2. Field from the box, or the box shows the field of the magnet.
    if (in.wfieldEnabled)
        magnet.BField =
            requireRange(parseReal(in.Wfield, "Wfield"), 0, kMaxField, true, kSPFieldRangeText, "Wfield");
    else
        r.WfieldText = FormatFixed3(magnet.BField);

    const double gamma = in.gamma, lu = magnet.PerLength;
    if (!(gamma > 1))
        throw InputError(
            "the beam energy must be above the electron rest energy (gamma > 1): choose a "
            "single-pass beam!");
    if (!(lu > 0)) throw InputError("the period length of the undulator must be greater than 0!");

    // 3. Deflection parameter.
    r.K = checkedValue(kPerTeslaMetre * magnet.BField * lu);
    r.fields.push_back({"Kpar", "K-value", r.K, "", FormatFixed3(r.K), ""});
    r.fields.push_back({"MagTyp", "magnet type", 0, "", magnet.PermMag, ""});

    // 4. Only a known magnet technology gives a wavelength.
    if (magnet.MagType != "PM" && magnet.MagType != "EM") {
        messages.info(kChooseMagnetComponentText);
        return;
    }
    r.magnetValid = true;

    // 5-7. Fundamental, wave number, orbit.
    r.lambda1 = checkedValue(lu / (2 * gamma * gamma) * (1 + r.K * r.K / 2));
    r.waveNumber = checkedValue(0.01 / r.lambda1);
    r.displacement = checkedValue(r.K * lu / (gamma * TwoPi));
    r.deflection = checkedValue(r.K / gamma);
    r.fields.push_back({"lWveLen", "fundamental wavelength", r.lambda1, "m",
                        "fundamental wavelength: " + FormatFixed3(metersToMicrons(r.lambda1)) + " um", ""});
    r.fields.push_back({"lWveNum", "wavenumber", r.waveNumber, "1/cm",
                        "wavenumber............: " + FormatFixed3(r.waveNumber) + " 1/cm", ""});
    r.fields.push_back({"Edtxmax", "path displacement", r.displacement, "m",
                        fixed(metersToMicrons(r.displacement), 4, 1), "µm"});
    r.fields.push_back(
        {"Edtmxdefl", "deflection", r.deflection, "rad", fixed(radToMicrorad(r.deflection), 4, 1), "µrad"});

    // 8, 9. Form factor at the fundamental.
    const bool gaussian = in.distribution == "g";
    r.FF = checkedValue(gaussian ? gaussianFormFactor(in.bunchLength, r.lambda1)
                                 : uniformFormFactor(in.bunchLength, r.lambda1));
    const std::string distr =
        gaussian ? "particle distribution is gaussian" : "particle distribution is uniform";
    r.fields.push_back({"lDistr", "particle distribution", 0, "", distr, ""});
    r.fields.push_back({"lFF", "formfactor", r.FF, "", "formfactor = " + FormatGeneral4(r.FF), ""});
}

}  // namespace lumerad
