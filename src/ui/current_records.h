#pragma once
// The current records that the windows share: the filter on SrceType of the source table,
// the reading of the current source record into the magnet state, and the check that the
// current beam is a circulating one.
#include <QString>
#include <string>

namespace lumerad {

struct AppContext;
class Table;

// The filter text that passes the sources of one kind: SrceType='kind', a quote inside the
// kind doubled. Empty for an empty kind and for "All", which pass every source.
QString sourceFilterText(const std::string& kind);

// Switches the filter off; for a kind other than "" and "All" sets "SrceType='kind'" and
// switches it on. The comparison ignores case.
void FilterSources(Table& insDevice, const std::string& kind);

// Reads the current source record into the session's magnet state: a pending edit of the
// source table is posted, the record is put in edit state (which re-reads it), and the
// magnet model takes it from there.
void ReadSourcePar(AppContext& ctx);

// The bending-magnet and spectrum calculations work on a circulating beam (energy in GeV).
// After a single-pass beam was calculated the beam state holds that beam (energy in eV, kind
// SinglePass) until a circulating beam is calculated again; this refuses the calculation
// then, instead of computing with an energy a billion times too large.
void requireCirculatingBeam(AppContext& ctx);
inline constexpr const char* kNeedCirculatingBeamText =
    "the current beam is not a circulating beam: choose and accept one in the circulating-beam editor!";

}  // namespace lumerad
