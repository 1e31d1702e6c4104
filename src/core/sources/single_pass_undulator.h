#pragma once
// An undulator traversed once by a bunch of a single-pass beam: deflection parameter, orbit
// path displacement and deflection, the fundamental wavelength and wave number, and the
// longitudinal form factor of the bunch at the fundamental wavelength.
#include <optional>
#include <string>

#include "core/numerics/result_field.h"
#include "core/state/magnet_state.h"

namespace lumerad {

class Messages;

inline constexpr const char* kSPFieldRangeText = "the magnet field must be above 0 T and at most 100 T!";

struct SinglePassUndulatorInputs {
    bool wfieldEnabled = true;
    std::string Wfield = "1.0";  // T, read when enabled; the field box's design text
    double gamma = 0;            // BeamGamma of the single-pass beam
    double bunchLength = 0;      // BunchLength, m
    std::string distribution;    // PartDistribution of the record: "g" is Gaussian, else uniform
};

struct SinglePassUndulatorResult {
    double K = 0;              // SPKValue
    bool magnetValid = false;  // MagType "PM" or "EM": the wavelength and form factor were computed
    double lambda1 = 0;        // m
    double waveNumber = 0;     // 1/cm
    double displacement = 0;   // m
    double deflection = 0;     // rad
    double FF = 0;
    std::optional<std::string> WfieldText;  // new text of the disabled field box
    // By objectName: Kpar, MagTyp, and when the magnet type is valid Edtxmax, Edtmxdefl,
    // lWveLen, lWveNum, lDistr, lFF.
    ResultFields fields;
};

// Recalculate from step 2 on (the caller has run ReadSourcePar). Writes BField from the field
// box when it is enabled, refusing a field of 0 or below or above kMaxField. Refuses (InputError) gamma <= 1
// and a period length of 0 or below before anything is computed; a magnet type other than "PM" or "EM" shows
// its message and leaves everything after K uncomputed (magnetValid false).
void SinglePassUndulator(const SinglePassUndulatorInputs& in, MagnetState& magnet, Messages& messages,
                         SinglePassUndulatorResult& r);

}  // namespace lumerad
