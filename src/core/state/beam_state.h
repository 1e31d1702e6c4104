#pragma once
// The current-beam state: what the last run of a beam table's calculation handler left,
// in the units the calculators use (mostly SI). BeamEnergy is in GeV after a
// circulating-beam run and in eV after a single-pass run; kind tells which.
#include <string>

namespace lumerad {

enum class BeamKind { None, Circulating, SinglePass };

struct CurrentBeam {
    BeamKind kind = BeamKind::None;  // the kind of record the state was calculated from
    std::string BeamName;
    double BeamEnergy = 0;
    double BeamGamma = 0;
    double BeamCurrent = 0;       // A
    double EnergySpread = 0;      // fraction
    double EmitX = 0, EmitY = 0;  // m rad
    double BetaX = 0, AlphaX = 0, BetaY = 0, AlphaY = 0;
    double EtaX = 0, EtapX = 0, EtaY = 0, EtapY = 0;
    double SigXb = 0, SigYb = 0;  // m
    double SigXp = 0, SigYp = 0;  // rad
    // single-pass beams
    double NPart = 0;
    double PulseDur = 0;  // s
    double RepRate = 0;   // Hz
    double BunchesPerPulse = 0;
    double BunchDur = 0;     // s
    double PeakCur = 0;      // A
    double PulseCur = 0;     // A
    double AvgCur = 0;       // A
    double BunchLength = 0;  // m
};

}  // namespace lumerad
