// The DATA.TXT loader: any file either loads (then every lookup across and beyond the range
// is finite) or is refused with a message and leaves the table empty.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/numerics/errors.h"
#include "core/numerics/tabulated.h"

using namespace lumerad;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/lumerad_fuzz_data_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Tabulated tab;
    const std::string err = tab.loadFile(path);
    if (!err.empty()) {
        if (tab.rows() != 0) std::abort();
        return 0;
    }
    if (tab.rows() < 2 || tab.rows() > Tabulated::kCapacity) std::abort();
    const double lo = tab.x(1), hi = tab.x(tab.rows());
    for (int c = 1; c <= 4; ++c)
        for (int k = 0; k <= 16; ++k) {
            const double x = lo + (hi - lo) * (k / 16.0);
            if (!std::isfinite(x)) continue;
            const double y = tab.splint(c, x);
            // finite values between finite rows; beyond the doubles' range a huge table
            // may still overflow, which the calculations report as a fault
            if (std::isnan(y)) std::abort();
        }
    return 0;
}
