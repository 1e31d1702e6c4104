#pragma once
// Program-wide state, created once in main() and handed by reference to every window.
// Calculations take the parts they read as const& and write only what they own.
#include "core/numerics/tabulated.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

struct ModeFlags {
    bool CircBeamChosen = false;  // the circulating-beam editor was opened once
    bool ParDirty = false;        // wiggler/undulator parameters changed since recalculation
    bool BendMagMode = false;     // bending magnet is the current source kind
    bool WigglerMode = false;     // wiggler or undulator is the current source kind
};

struct Session {
    CurrentBeam beam;
    MagnetState magnet;
    UndulatorState undulator;
    ModeFlags flags;
    double CritEnergy = 0;    // eV, current bending magnet or wiggler
    double RelBandWidth = 0;  // percent entry / 100
    Tabulated tab;            // DATA.TXT
};

}  // namespace lumerad
