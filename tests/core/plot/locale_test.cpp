// Numbers never follow the user's language: under a desktop that writes the decimal comma, the
// C library's strtod and printf read and write "0,5", so every conversion the program makes
// must give the same text and the same values as under "C".
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "core/numerics/data_file.h"
#include "core/numerics/number_text.h"
#include "core/plot/graph_model.h"

using namespace lumerad;

namespace {

struct Outputs {
    std::vector<std::vector<double>> ticks;
    std::string texts;
};

// Logarithmic label tables over spans of one to twelve decades, and a file line, picture
// and pattern for values that need every digit.
Outputs produce() {
    Outputs o;
    const std::pair<double, double> ranges[] = {{1e-3, 1e-2}, {0.1, 1e3}, {1e-7, 1e4}, {1e2, 1e14}, {5, 7}};
    for (const auto& [lo, hi] : ranges) {
        LogLabelTable table{};
        DefineLx(table, lo, hi);
        o.ticks.push_back(logAxisLabels(table, lo, hi));
    }
    for (double v : {0.5, 1234.5678, -2.5e-7, 6553.6, 1.0 / 3.0, 2.99792458e8}) {
        o.texts += dataFileLine({v, v * 1e3});
        o.texts += pattern("%10.5f|", v) + pattern("%8.4g|", v) + picture("#,##0.###", v) + "|" +
                   picture("0.#E+00", v) + "|" + general(v, 6) + "\n";
    }
    return o;
}

TEST(Locale, CommaDecimalDesktopGivesTheSameNumbersAsC) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const Outputs c = produce();
    // Debian's locales-all (installed by the set-up script) provides it.
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the locale de_DE.UTF-8 is not installed";
    const Outputs de = produce();
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(de.ticks.size(), c.ticks.size());
    for (std::size_t i = 0; i < c.ticks.size(); ++i) EXPECT_EQ(de.ticks[i], c.ticks[i]) << "range " << i;
    EXPECT_EQ(de.texts, c.texts);
    // and the values are the decades themselves
    EXPECT_EQ(c.ticks[0].front(), 1e-3);
}

}  // namespace
