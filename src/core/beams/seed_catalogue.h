#pragma once
// What a new catalogue holds: storage rings of several generations, linacs and free-electron
// lasers, and radiation sources of every kind. Published machine parameters; the optics are
// those at a straight-section (insertion-device) source point.
#include <span>

namespace lumerad {

// A missing value in the tables below (the field stays empty).
inline constexpr double kNoValue = -1e300;

struct SeedRing {
    const char* SR;
    double Energy;                            // GeV
    double Cur;                               // mA
    double Eps_x;                             // nm rad
    double Eps_y;                             // nm rad
    double DE_E;                              // %
    double Beta_x, Alpha_x, Beta_y, Alpha_y;  // m, 1
    double Eta_x, Etap_x, Eta_y, Etap_y;      // m, 1
};

struct SeedLinac {
    const char* Name;
    double Energy;         // MeV
    double PartPerBunch;   // 1e8 electrons
    double PulseDuration;  // ns
    double PulseRepRate;   // Hz
    double BunchesPerPulse;
    double BunchDuration;  // fs
    double BunchSepar;     // ps
    const char* PartDistribution;
};

struct SeedSource {
    const char* Name;
    const char* MagType;                 // "EM" or "PM"
    const char* SrceType;                // "Bend", "Wig", "Und", "TR"
    double Field;                        // T
    const char* PermMag;                 // "REC", "hybrid" or ""
    double RemnFld;                      // T
    int Poles;                           // #Poles (0: empty)
    double PerLen, Gap, Gap_mn, Gap_mx;  // mm
    double ObsAngle_x, ObsAngle_y;
};

std::span<const SeedRing> seedRings();
std::span<const SeedLinac> seedLinacs();
std::span<const SeedSource> seedSources();

}  // namespace lumerad
