#include "core/beams/seed_catalogue.h"

namespace lumerad {

namespace {

constexpr double N = kNoValue;

// Storage rings. Emittances are the operating values (natural horizontal emittance of the
// lattice with its dispersion given separately, vertical from the usual coupling); the optics
// are those at the centre of an insertion-device straight.
constexpr SeedRing kRings[] = {
    // fourth generation: multi-bend achromats
    {"ESRF-EBS", 6.0, 200, 0.133, 0.005, 0.094, 6.9, 0, 2.6, 0, 0, 0, 0, 0},
    {"MAX IV 3 GeV", 3.0, 500, 0.328, 0.008, 0.077, 9.0, 0, 4.8, 0, 0, 0, 0, 0},
    // third generation, low emittance
    {"PETRA III", 6.0, 100, 1.2, 0.012, 0.13, 20.0, 0, 2.4, 0, 0, 0, 0, 0},
    {"NSLS-II", 3.0, 500, 0.9, 0.008, 0.09, 20.85, 0, 3.4, 0, 0, 0, 0, 0},
    // third generation
    {"ESRF 1994-2018", 6.0, 200, 4.0, 0.025, 0.106, 35.2, 0, 2.52, 0, 0.137, 0, 0, 0},
    {"APS", 7.0, 100, 2.5, 0.025, 0.096, 19.5, 0, 2.9, 0, 0.17, 0, 0, 0},
    {"SPring-8", 8.0, 100, 2.4, 0.0048, 0.109, 31.2, 0, 5.0, 0, 0.146, 0, 0, 0},
    {"Diamond", 3.0, 300, 2.7, 0.008, 0.096, 10.6, 0, 5.9, 0, 0, 0, 0, 0},
    {"BESSY II", 1.7, 300, 5.0, 0.05, 0.07, 14.0, 0, 3.4, 0, 0, 0, 0, 0},
};

// Linacs and free-electron lasers: bunch charge as electrons per bunch (1e8), macro-pulse
// length and repetition rate, bunches per pulse and their spacing, bunch duration.
constexpr SeedLinac kLinacs[] = {
    // 250 pC, 2700 bunches at 4.5 MHz in a 600 us pulse, 10 Hz
    {"European XFEL", 17500, 15.6, 600000, 10, 2700, 50, 222000, "g"},
    // 0.5 nC, 800 bunches at 1 MHz in an 800 us pulse, 10 Hz
    {"FLASH", 1250, 31.2, 800000, 10, 800, 200, 1000000, "g"},
    // 250 pC, one bunch per pulse at 120 Hz
    {"LCLS", 13600, 15.6, 1, 120, 1, 80, 0, "g"},
    // 200 pC, two bunches 28 ns apart, 100 Hz
    {"SwissFEL Aramis", 5800, 12.5, 28, 100, 2, 60, 28000, "g"},
};

constexpr SeedSource kSources[] = {
    // bending magnets
    {"ESRF dipole 0.86 T", "EM", "Bend", 0.856, "", N, 0, N, N, N, N, N, N},
    {"APS dipole 0.6 T", "EM", "Bend", 0.599, "", N, 0, N, N, N, N, N, N},
    {"SPring-8 dipole 0.68 T", "EM", "Bend", 0.679, "", N, 0, N, N, N, N, N, N},
    {"Diamond dipole 1.4 T", "EM", "Bend", 1.4, "", N, 0, N, N, N, N, N, N},
    {"BESSY II dipole 1.3 T", "EM", "Bend", 1.3, "", N, 0, N, N, N, N, N, N},
    {"NSLS-II dipole 0.4 T", "EM", "Bend", 0.4, "", N, 0, N, N, N, N, N, N},
    // wigglers
    {"EM wiggler W200", "EM", "Wig", 1.6, "", N, 12, 200, 20, N, N, 0, 0},
    {"hybrid wiggler W150", "PM", "Wig", 1.66, "hybrid", 3.33, 26, 150, 20, 20, 100, 0, 0},
    {"REC wiggler W80", "PM", "Wig", 1.05, "REC", 1.1, 50, 80, 15, 15, 100, 0, 0},
    // undulators
    {"hybrid undulator U35", "PM", "Und", 0.71, "hybrid", 3.33, 90, 35, 11, 11, 30, N, N},
    {"in-vacuum undulator U20", "PM", "Und", 0.76, "hybrid", 3.33, 200, 20, 6, 5, 30, N, N},
    {"REC undulator U50", "PM", "Und", 0.59, "REC", 1.2, 80, 50, 20, 16, 100, N, N},
    {"EM undulator U100", "EM", "Und", 0.5, "", N, 40, 100, 40, N, N, N, N},
    // The hybrid field model B = RemnFld exp(-x (5.47 - 1.8 x)), x = gap / period, with the
    // amplitude of a modern NdFeB hybrid structure, so that it gives the published peak field
    // at the design gap: K 3.9 at 10 mm (XFEL U40), 0.47 T at the fixed 12 mm gap (FLASH).
    {"XFEL undulator U40", "PM", "Und", 1.04, "hybrid", 3.66, 248, 40, 10, 10, 25, N, N},
    {"FLASH undulator U27", "PM", "Und", 0.47, "hybrid", 3.68, 328, 27.3, 12, 12, 12, N, N},
    // transition radiation screen
    {"Al foil radiator", "", "TR", N, "", N, 0, N, N, N, N, N, N},
};

}  // namespace

std::span<const SeedRing> seedRings() { return kRings; }
std::span<const SeedLinac> seedLinacs() { return kLinacs; }
std::span<const SeedSource> seedSources() { return kSources; }

}  // namespace lumerad
