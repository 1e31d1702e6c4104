#pragma once
// Selection of radiation sources by kind: the SrceType filter of the source table and the
// column layout of the bending-magnet window's source grid.
#include <string>

namespace lumerad {

struct AppContext;
class Table;

// Switches the filter off; for a kind other than "" and "All" sets "SrceType='kind'" (a quote
// inside kind doubled) and switches it on. The comparison ignores case.
void FilterSources(Table& insDevice, const std::string& kind);

// Rebuilds the columns of the bending-magnet window's source grid (DBGrid1) for the current
// source kind (without #Poles, PerLen, Gap while BendMagMode is set), then FilterSources.
void SelectSources(AppContext& ctx, const std::string& kind);

}  // namespace lumerad
