#pragma once
// Physical limits of catalogue records. A record that breaks one is refused when it is
// posted (the message names the field, the edit stays), and a stored one is not used for a
// calculation until it is mended. The first breach found is reported, in field order.
//
//   circulating beam  SR named; Energy above the electron rest energy (so gamma > 1) and at
//                     most 10 TeV; Cur, Eps_x, Eps_y, DE/E, Beta_x, Beta_y not negative
//   single-pass beam  Energy above the rest energy (in MeV) and at most 10 TeV; Part/Bunch,
//                     PulseDuration, PulseRepRate, Bunches/Pulse, BunchDuration not negative
//   source            Field from 0 to 100 T, above 0 unless a permanent magnet (field from
//                     the gap) or a source without magnet (transition radiation); RemnFld 0 to
//                     10 T; #Poles from 0 to 100000; PerLen from 0 to 10000 mm and above 0
//                     for a wiggler or undulator; Gap, Gap_mn, Gap_mx from 0 to 1000 mm,
//                     Gap above 0 for a permanent magnet
// Every number must be finite.
#include <optional>
#include <string>

#include "core/beams/beam_quantities.h"
#include "core/state/magnet_state.h"

namespace lumerad {

struct LimitBreach {
    std::string field;  // the record's field name
    std::string text;   // "<field>: <what is wrong>"
};

std::optional<LimitBreach> circBeamBreach(const CircBeamValues& rec);
std::optional<LimitBreach> snglBeamBreach(const SnglBeamValues& rec);
std::optional<LimitBreach> sourceBreach(const SourceRecord& rec);

// The message for a stored record that breaks a limit and is asked for a calculation.
std::string unusableRecordText(const std::string& what, const std::string& name, const LimitBreach& b);

}  // namespace lumerad
