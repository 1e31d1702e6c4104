#pragma once
// Choosing the kind of source the windows work on.
#include <string>

namespace lumerad {

struct AppContext;

// Gives the bending-magnet window's source grid (DBGrid1) the columns of the current source
// kind (without #Poles, PerLen and Gap while BendMagMode is set), then FilterSources.
void SelectSources(AppContext& ctx, const std::string& kind);

}  // namespace lumerad
