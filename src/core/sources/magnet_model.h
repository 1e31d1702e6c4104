#pragma once
// The magnet model shared by every magnet source: the current source record read into the
// magnet state, the field of a permanent-magnet device at a gap (pure rare-earth "REC" and
// "hybrid" designs), the gap for a wanted deflection parameter, and the photon source sizes
// of an undulator harmonic.
#include <string>

#include "core/state/magnet_state.h"

namespace lumerad {

class Messages;

inline constexpr const char* kSelectRecOrHybridText = "select REC or hybrid magnet type!";
inline constexpr const char* kSelectMagnetTypeText = "select valid magnet type, EM or PM!";
inline constexpr const char* kSelectPeriodText = "select period length!";
inline constexpr const char* kRecRemnantText = "choose remnant field for REC magnet!";
inline constexpr const char* kHybridRemnantText = "choose remnant field for hybrid magnet!";
inline constexpr const char* kPositivePeriodAndKText = "select positive period length an K-value!";
inline constexpr const char* kHybridKOutOfReachText =
    "no gap of this hybrid magnet gives the K-value: its field is below the lowest field the "
    "magnet reaches! gap set to 0.";

// Loads a source record into the magnet state: names, period, gap, poles, field and magnet
// technology, then the device length, the number of periods and the deflection parameter
// of the record's field; a permanent magnet takes its field from GapField at the gap.
// Posting the record being edited and re-reading it is the caller's part.
void ReadSourcePar(const SourceRecord& rec, MagnetState& m, Messages& messages);

// Peak field (T) of the current permanent-magnet device at gap g (m). Sets GapRatio and may
// replace a zero RemnField by the material's default.
double GapField(MagnetState& m, double g, Messages& messages);
// The same without the test of the flags and the value, for a scan that tests its points.
double gapFieldUnchecked(MagnetState& m, double g, Messages& messages);

// Gap (m) at which the current permanent-magnet device reaches the deflection parameter K.
double GapFromK(MagnetState& m, double K, Messages& messages);

// Beam sizes of the current circulating-beam record at the source point, in record units.
struct BeamSizesAtSource {
    double Sig_xb = 0, Sig_yb = 0;  // um
    double Sig_xp = 0, Sig_yp = 0;  // urad
};

// Fills SigR .. SrcSolidAng for harmonic n of an undulator with fundamental wavelength
// fundWaveLen (m).
void PhotonBeamSize(MagnetState& m, int n, double fundWaveLen, const BeamSizesAtSource& beam);
// The same without the test of the flags, for a scan that tests them once at its end.
void photonBeamSizeUnchecked(MagnetState& m, int n, double fundWaveLen, const BeamSizesAtSource& beam);

}  // namespace lumerad
