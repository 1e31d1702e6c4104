#include "core/sources/magnet_model.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
// K per tesla and centimetre of period, as used for the record's field.
constexpr double kKPerTeslaCm = 0.934;
// K per tesla and metre of period, as used to go from K back to a field.
constexpr double kKPerTeslaM = 93.44;
constexpr double kRecFieldFactor = 1.723;
constexpr double kHybridA = 5.47;
constexpr double kHybridB = 1.8;
constexpr double kHybridMinRatio = 0.07;
constexpr double kHybridMaxRatio = 0.7;
constexpr double kRecDefaultRemnant = 0.9;
constexpr double kHybridDefaultRemnant = 3.33;
constexpr double kRecGapCap = 0.2;
constexpr double kRatioLimit = 5.0;
}  // namespace

void ReadSourcePar(const SourceRecord& rec, MagnetState& m, Messages& messages) {
    clearFloatFaults();
    m.SrcName = rec.Name;
    m.SrcType = rec.SrceType;
    m.PerLength = mmToMeters(rec.PerLen);
    m.Gap = mmToMeters(rec.Gap);
    m.NPoles = rec.Poles;
    m.BField = rec.Field;
    m.PermMag = rec.PermMag;
    m.MagType = rec.MagType;
    m.RemnField = rec.RemnFld;

    m.DevLength = m.NPoles * m.PerLength / 2.0;
    m.NPeriods = std::max(m.NPoles / 2, 1);
    m.KValue = kKPerTeslaCm * m.BField * m.PerLength * 100.0;
    checkFloatFaults();

    if (m.MagType == "PM") {
        if (m.PermMag == "REC" || m.PermMag == "hybrid") {
            m.BField = checkedValue(GapField(m, m.Gap, messages));
        } else {
            messages.info(kSelectRecOrHybridText);
            m.PermMag = "hybrid";
        }
    } else if (m.MagType != "EM") {
        messages.info(kSelectMagnetTypeText);
    }
}

double GapField(MagnetState& m, double g, Messages& messages) {
    return checkedValue(gapFieldUnchecked(m, g, messages));
}

double gapFieldUnchecked(MagnetState& m, double g, Messages& messages) {
    if (m.PerLength <= 0) {
        messages.info(kSelectPeriodText);
        return 0.0;
    }
    double x = g / m.PerLength;
    m.GapRatio = x;
    double b;
    if (m.PermMag == "REC") {
        if (m.RemnField == 0) {
            messages.info(kRecRemnantText);
            m.RemnField = kRecDefaultRemnant;
        }
        b = std::exp(-Pi * x) * kRecFieldFactor * m.RemnField;
    } else {
        if (m.RemnField == 0) {
            messages.info(kHybridRemnantText);
            m.RemnField = kHybridDefaultRemnant;
        }
        if (x > kHybridMaxRatio) x = kHybridMaxRatio;
        if (x < kHybridMinRatio) x = kHybridMinRatio;
        m.GapRatio = x;
        b = std::exp(-x * (kHybridA - kHybridB * x)) * m.RemnField;
    }
    if (x > kRatioLimit) b = 0.0;
    return b;
}

double GapFromK(MagnetState& m, double K, Messages& messages) {
    if (m.PerLength <= 0 || K < 0) {
        messages.info(kPositivePeriodAndKText);
        return 0.0;
    }
    double b = K / kKPerTeslaM / m.PerLength;
    if (b == 0) b = 1e-30;
    double g;
    if (m.PermMag == "REC") {
        if (m.RemnField == 0) {
            messages.info(kRecRemnantText);
            m.RemnField = kRecDefaultRemnant;
        }
        g = std::log(b / kRecFieldFactor / m.RemnField) * (-m.PerLength / Pi);
        if (g > kRecGapCap) g = kRecGapCap;
    } else {
        m.RemnField = kHybridDefaultRemnant;
        // Smaller root of 1.8 x^2 - 5.47 x - ln(B/Br) = 0 with x = gap/period. The hybrid
        // field has its minimum at x = 5.47/3.6; a field below it has no root.
        const double c = 1.5194444444444444;
        const double disc = c * c + std::log(b / m.RemnField) / kHybridB;
        checkFloatFaults();
        if (disc < 0) {
            messages.info(kHybridKOutOfReachText);
            return 0.0;
        }
        g = (c - std::sqrt(disc)) * m.PerLength;
    }
    return checkedValue(g);
}

void PhotonBeamSize(MagnetState& m, int n, double fundWaveLen, const BeamSizesAtSource& beam) {
    photonBeamSizeUnchecked(m, n, fundWaveLen, beam);
    checkFloatFaults();
}

void photonBeamSizeUnchecked(MagnetState& m, int n, double fundWaveLen, const BeamSizesAtSource& beam) {
    const double lambda = fundWaveLen / n;
    m.SigR = std::sqrt(lambda * m.DevLength) / TwoPi;
    m.SigRp = std::sqrt(lambda / m.DevLength);
    const double xb = beam.Sig_xb / 1e6, yb = beam.Sig_yb / 1e6;
    const double xp = beam.Sig_xp / 1e6, yp = beam.Sig_yp / 1e6;
    m.SigTx = std::sqrt(m.SigR * m.SigR / 2 + xb * xb);
    m.SigTy = std::sqrt(m.SigR * m.SigR / 2 + yb * yb);
    m.SigTxp = std::sqrt(m.SigRp * m.SigRp / 2 + xp * xp);
    m.SigTyp = std::sqrt(m.SigRp * m.SigRp / 2 + yp * yp);
    m.SrcArea = TwoPi * m.SigTx * m.SigTy * 1e6;
    m.SrcSolidAng = TwoPi * m.SigTxp * m.SigTyp * 1e6;
}

}  // namespace lumerad
