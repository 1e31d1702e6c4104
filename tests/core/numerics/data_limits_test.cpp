// The edges of the number range in the data files and the spline: tables whose abscissae
// are valid numbers but cannot carry a spline are refused when loaded, and the largest
// double survives the trip through the data-file field and back through both parsers.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/tabulated.h"
#include "core/numerics/text_to_number.h"

using namespace lumerad;

namespace {

std::string writeTemp(const std::string& name, const std::string& text) {
    const auto path = std::filesystem::temp_directory_path() / ("lumerad_data_limits_" + name);
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

}  // namespace

TEST(SplineTable, DegenerateAbscissaeAreRefusedWhenLoaded) {
    struct Case {
        const char* name;
        std::vector<double> x;
        std::vector<double> y;
        const char* inMessage;
    } cases[] = {
        // the step overflows: 2e308
        {"wide", {-1e308, 1e308}, {1, 2}, "row 2"},
        {"wide3", {-1e308, 0, 1e308}, {1, 2, 3}, "row 2"},  // the sum of two steps overflows
        // a finite step whose square overflows: the interpolation weighs the curvature by h^2
        {"square", {0, 1e155, 2e155}, {0, 1, 0}, "row 2"},
        // a step among the subnormal doubles: its reciprocal overflows
        {"narrow", {0, 1e-320, 1}, {1, 2, 3}, "row 2"},
        {"narrow2", {1e-310, 1.0000001e-310, 2}, {0, 0, 0}, "row 2"},
        // finite steps, values too steep for the slopes
        {"steep", {0, 1e-300, 1}, {-1e300, 1e300, 0}, "row 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = int(c.x.size());
        const double* f[4] = {c.y.data(), c.y.data(), c.y.data(), c.y.data()};
        Tabulated tab;
        const std::string err = tab.setRows(n, c.x.data(), f);
        EXPECT_NE(err.find(c.inMessage), std::string::npos) << err;
        EXPECT_EQ(tab.rows(), 0);
        // and through the file loader, in the data-file field
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += dataField(c.x[i]);
            for (int k = 0; k < 4; ++k) text += dataField(c.y[i]);
            text += "\r\n";
        }
        const std::string fileErr = tab.loadFile(writeTemp(std::string(c.name) + ".txt", text));
        EXPECT_NE(fileErr, "");
        EXPECT_EQ(tab.rows(), 0);
    }
    // A sound table of extreme but usable steps still loads and interpolates finitely.
    const double x[3] = {0, 1e-300, 2e-300}, y[3] = {0, 1e-300, 2e-300};
    const double* f[4] = {y, y, y, y};
    Tabulated tab;
    ASSERT_EQ(tab.setRows(3, x, f), "");
    EXPECT_TRUE(std::isfinite(tab.splint(1, 5e-301)));
}

TEST(DataField, LargestDoubleRoundTrips) {
    // 15 significant digits round the largest double up: 1.79769313486232E+0308
    EXPECT_EQ(dataField(DBL_MAX), " 1.79769313486232E+0308");
    for (double v : {DBL_MAX, -DBL_MAX}) {
        const std::string field = dataField(v);
        EXPECT_EQ(parseReal(field), v) << field;
        // DATA.TXT separates its numbers by white space
        const std::string row =
            " " + dataField(v) + " " + dataField(0) + " " + dataField(0) + " " + dataField(0);
        const std::string text = dataField(0) + row + "\r\n" + dataField(1) + row + "\r\n";
        Tabulated tab;
        ASSERT_EQ(tab.loadFile(writeTemp("largest.txt", text)), "");
        EXPECT_EQ(tab.f(1, 1), v);
    }
    // Only the rounding of its own text is taken back, nothing larger; tiny values are 0.
    EXPECT_EQ(parseReal("1.797693134862316E308"), DBL_MAX);
    EXPECT_THROW(parseReal("1.79769313486233E308"), InputError);
    EXPECT_THROW(parseReal("1.8E308"), InputError);
    EXPECT_THROW(parseReal("1E309"), InputError);
    EXPECT_EQ(parseReal("1e-400"), 0.0);
}
