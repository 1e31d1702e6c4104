#pragma once
// The magnet state read from the current source record, and the photon source sizes of
// the last PhotonBeamSize call. Shared by every magnet source window and the spectra.
#include <string>

namespace lumerad {

// The message of a source whose magnet type is neither "EM" nor "PM".
inline constexpr const char* kChooseMagnetComponentText = "choose magnetic source component";

// The fields of a source record (InsDevice), as plain values; empty numbers read as 0.
struct SourceRecord {
    std::string Name, MagType, SrceType, PermMag;
    double Field = 0, RemnFld = 0;
    int Poles = 0;                                       // #Poles
    double PerLen = 0, Gap = 0, Gap_mn = 0, Gap_mx = 0;  // mm
    double ObsAngle_x = 0, ObsAngle_y = 0;
};

struct MagnetState {
    std::string SrcName, SrcType;
    double PerLength = 0;  // m
    double Gap = 0;        // m
    int NPoles = 0;
    double BField = 0;  // T
    std::string PermMag, MagType;
    double RemnField = 0;  // T
    double DevLength = 0;  // m
    int NPeriods = 1;
    double KValue = 0;
    double GapRatio = 0;
    // photon source sizes of the last PhotonBeamSize call
    double SigR = 0, SigRp = 0;
    double SigTx = 0, SigTy = 0, SigTxp = 0, SigTyp = 0;
    double SrcArea = 0;      // mm^2
    double SrcSolidAng = 0;  // mrad^2
};

// The undulator state left by the undulator window.
struct UndulatorState {
    double FundWaveLen = 0;  // m
    double FundPhotEn = 0;   // eV
    double ConeAngle = 0;    // rad
    int Harmonic = 1;
};

}  // namespace lumerad
