// Text to number: any text either gives a finite number (or 0 on underflow) or is refused
// with the message that quotes it; an integer text that parses also parses as a real with
// the same value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/numerics/errors.h"
#include "core/numerics/text_to_number.h"

using namespace lumerad;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // A field's text never holds a NUL; the message would end there.
    if (text.find('\0') != std::string::npos) return 0;
    bool realOk = false;
    double real = 0;
    try {
        real = parseReal(text);
        realOk = true;
        if (!std::isfinite(real)) std::abort();
    } catch (const InputError& e) {
        if (std::string(e.what()) != "'" + text + "' is not a valid floating point value") std::abort();
    }
    try {
        const int i = parseInteger(text);
        if (!realOk || real != static_cast<double>(i)) std::abort();
    } catch (const InputError& e) {
        if (std::string(e.what()) != "'" + text + "' is not a valid integer value") std::abort();
    }
    return 0;
}
