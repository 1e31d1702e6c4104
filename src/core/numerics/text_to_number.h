#pragma once
// Text to number for the edit fields ("." as decimal point). A text that is not a number,
// an empty one included, throws InputError with
// "'<text>' is not a valid floating point value" or "'<text>' is not a valid integer value".
#include <string>

namespace lumerad {

double parseReal(const std::string& text);
int parseInteger(const std::string& text);
// The same, naming the field (objectName) the text came from in the InputError.
double parseReal(const std::string& text, const std::string& field);
int parseInteger(const std::string& text, const std::string& field);

// Reads the unsigned decimal number in [first, last) that std::from_chars found out of
// range above the largest double: a value that exceeds it by no more than the rounding of a
// 15-digit text (the data-file field writes the largest double as 1.79769313486232E+0308)
// is the largest double. Returns false for anything larger.
bool readNearLargest(const char* first, const char* last, double& value);

}  // namespace lumerad
