#pragma once
// Text to number for the edit fields ("." as decimal point). A text that is not a number,
// an empty one included, throws InputError with
// "'<text>' is not a valid floating point value" or "'<text>' is not a valid integer value".
#include <string>

namespace lumerad {

double parseReal(const std::string& text);
int parseInteger(const std::string& text);

} // namespace lumerad
