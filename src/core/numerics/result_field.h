#pragma once
// One displayed result of a calculator window, as the window shows it and as the command line
// prints it: the objectName of its field, the caption of its row, the value in its unit without
// prefix, that unit, and the text and unit label the window shows. A calculation that returns
// these lets the window and lumerad-cli write the same texts from one place.
#include <string>
#include <vector>

namespace lumerad {

struct ResultField {
    std::string name;       // objectName of the result field, e.g. "Ephcrit"
    std::string label;      // caption of the field's row
    double value = 0;       // in `unit`, without prefix
    std::string unit;       // "eV", "W", "W/mm^2", "ph/s/mrad", "m", "rad", ...
    std::string text;       // the field's text exactly as the window shows it
    std::string shownUnit;  // the unit label the window shows beside it (with its prefix)
};

using ResultFields = std::vector<ResultField>;

}  // namespace lumerad
