#include "core/numerics/tabulated.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"

namespace lumerad {
namespace {

namespace fs = std::filesystem;

const std::string kDataFile = std::string(LUMERAD_SOURCE_DATA_DIR) + "/DATA.TXT";

class TempDir : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("lumerad_tab_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
};

std::string rowsText(int n, const char* eol = "\n") {
    std::string s;
    for (int i = 1; i <= n; ++i) {
        const double row[] = {double(i), 0.5 * i, 1.0 / i, i * i * 1.0, -2.0 * i};
        for (int k = 0; k < 5; ++k) s += general(row[k], 17) + (k < 4 ? " " : eol);
    }
    return s;
}

// The spline of sin x on an uneven grid: exact at the rows, within the cubic spline's bound
// 5/384 h^4 max|f^(4)| inside; with the end slopes taken from the end steps, within about h^2
// near the ends; outside it extrapolates the end cubics instead of holding the end values.
TEST(Tabulated, SplineInterpolatesAndExtrapolatesASmoothFunction) {
    double x[40], y[40];
    for (int i = 0; i < 40; ++i) {
        x[i] = 0.1 * i + 0.02 * std::sin(7.0 * i);
        y[i] = std::sin(x[i]);
    }
    const double* f[4] = {y, y, y, y};
    Tabulated tab;
    ASSERT_EQ(tab.setRows(40, x, f), "");
    for (int i = 0; i < 40; ++i) EXPECT_EQ(tab.splint(2, x[i]), y[i]) << i;
    for (double v = x[0]; v <= x[39]; v += 0.0137) {
        const bool inside = v > x[8] && v < x[31];
        EXPECT_NEAR(tab.splint(3, v), std::sin(v), inside ? 5e-6 : 0.015) << v;
    }
    // the defining properties: the slope is continuous at every row, and at the ends it is
    // the slope of the end step
    const double d = 1e-6;
    auto slope = [&](double a, double b) { return (tab.splint(2, b) - tab.splint(2, a)) / (b - a); };
    for (int i = 1; i < 39; ++i) EXPECT_NEAR(slope(x[i] - d, x[i]), slope(x[i], x[i] + d), 1e-4) << i;
    EXPECT_NEAR(slope(x[0], x[0] + d), (y[1] - y[0]) / (x[1] - x[0]), 1e-4);
    EXPECT_NEAR(slope(x[39] - d, x[39]), (y[39] - y[38]) / (x[39] - x[38]), 1e-4);
    for (double v : {x[0] - 0.05, x[39] + 0.05}) {
        EXPECT_NEAR(tab.splint(4, v), std::sin(v), 0.01) << v;
        EXPECT_NE(tab.splint(4, v), std::sin(v < 0 ? x[0] : x[39]));
    }
}

TEST(Tabulated, ColumnOutsideOneToFourKeepsThePreviousColumn) {
    Tabulated tab;
    ASSERT_EQ(tab.loadFile(kDataFile), "");
    EXPECT_EQ(tab.splint(0, 0.5), 0.0);  // nothing looked up yet: an empty column
    const double k13 = tab.splint(3, 0.5);
    EXPECT_EQ(tab.splint(0, 0.5), k13);
    EXPECT_EQ(tab.splint(5, 0.5), k13);
    const double s = tab.splint(1, 0.5);
    EXPECT_NE(s, k13);
    EXPECT_EQ(tab.splint(-1, 0.5), s);
}

// A lookup starts from the interval of the one before; whatever came before, it must give
// the bits of a lookup on a table that has looked up nothing (which bisects from the first
// interval). Sequences up, down, at random, at and between the rows, outside the table, NaN.
TEST(Tabulated, LookupGivesTheSameBitsWhateverWasLookedUpBefore) {
    Tabulated warm;
    ASSERT_EQ(warm.loadFile(kDataFile), "");
    const Tabulated cold = warm;
    const double lo = warm.x(1), hi = warm.x(warm.rows());
    std::mt19937 gen(18);
    std::uniform_real_distribution<double> any(lo - 1.0, hi + 5.0);
    std::uniform_int_distribution<int> row(1, warm.rows());
    std::vector<double> xs;
    for (int j = 0; j <= 1000; ++j) xs.push_back(lo * std::pow(hi / lo, j / 1000.0));  // a scan up
    for (int j = 1000; j >= 0; --j) xs.push_back(lo + (hi - lo) * j / 1000.0);         // and down
    for (int j = 0; j < 1000; ++j) xs.push_back(j % 3 == 0 ? warm.x(row(gen)) : any(gen));
    for (double x : {std::nan(""), 1e-300, -1e300, 1e300, 0.0, HUGE_VAL, -HUGE_VAL}) xs.push_back(x);
    xs.push_back(warm.x(2));
    for (std::size_t j = 0; j < xs.size(); ++j) {
        const int c = 1 + static_cast<int>(j % 4);
        Tabulated fresh = cold;
        const double a = warm.splint(c, xs[j]), b = fresh.splint(c, xs[j]);
        ASSERT_TRUE(std::memcmp(&a, &b, sizeof a) == 0) << j << " at " << xs[j];
    }
    // and whole arrays give each argument's own bits
    std::vector<double> many(xs.size());
    for (int c = 1; c <= 4; ++c) {
        warm.splintMany(c, xs.data(), many.data(), static_cast<long>(xs.size()));
        for (std::size_t j = 0; j < xs.size(); ++j) {
            const double one = cold.splint(c, xs[j]);
            ASSERT_TRUE(std::memcmp(&one, &many[j], sizeof one) == 0) << c << ", " << j << " at " << xs[j];
        }
    }
}

TEST(Tabulated, TwoRowsGiveTheStraightLineAndFewerCannotBeLookedUp) {
    Tabulated tab;
    const double x[2] = {1.0, 3.0}, a[2] = {2.0, 6.0}, b[2] = {0, 0};
    const double* f[4] = {a, b, b, b};
    ASSERT_EQ(tab.setRows(2, x, f), "");
    EXPECT_DOUBLE_EQ(tab.splint(1, 2.0), 4.0);
    EXPECT_DOUBLE_EQ(tab.splint(1, 5.0), 10.0);
    EXPECT_DOUBLE_EQ(tab.splint(1, 0.0), 0.0);

    Tabulated empty;
    EXPECT_EQ(thrown<FloatError>([&] { empty.splint(1, 1.0); }), "Floating point division by zero");
    EXPECT_NE(tab.setRows(1, x, f), "");
    EXPECT_EQ(tab.rows(), 0);
    EXPECT_THROW(tab.splint(1, 1.0), FloatError);
}

TEST_F(TempDir, LoaderCountsRowsWhateverTheLineEnds) {
    Tabulated tab;
    std::string noEnd = rowsText(3);
    noEnd.pop_back();
    // a trailing line break or blank line adds no row; a byte-order mark is an editor's
    for (const auto& [text, rows] : {std::pair{rowsText(5), 5},
                                     {rowsText(4, "\r\n"), 4},
                                     {noEnd, 3},
                                     {rowsText(3) + "\n  \n", 3},
                                     {"\xEF\xBB\xBF" + rowsText(3, "\r\n"), 3},
                                     {rowsText(350), 350}}) {
        EXPECT_EQ(tab.loadFile(write("rows.txt", text)), "") << rows;
        EXPECT_EQ(tab.rows(), rows);
        EXPECT_EQ(tab.x(1), 1.0);
        EXPECT_EQ(tab.f(1, 3), 1.5);
        EXPECT_EQ(tab.f(4, 3), -6.0);
    }
    EXPECT_EQ(tab.loadFile(write("tabs.txt", "1\t2  3 4 5\n2 3e-1 -4 5.5 6E2\n")), "");
    EXPECT_EQ(tab.f(4, 2), 600.0);
}

TEST_F(TempDir, LoaderRefusesBadFilesAndLeavesTheTableEmpty) {
    struct Case {
        const char* name;
        std::string text;
        const char* inMessage;
    } cases[] = {{"big.txt", rowsText(351), "more than 350 rows"},
                 {"word.txt", "1 2 3 4 5\n2 abc 3 4 5\n", "'abc' is not a valid floating point value"},
                 {"nan.txt", "1 2 3 4 5\n2 nan 3 4 5\n", "'nan'"},
                 {"huge.txt", "1 2 3 4 5\n2 1e999 3 4 5\n", "'1e999'"},
                 {"short.txt", "1 2 3 4 5\n2 3 4 5\n", "line 2: five numbers expected, found 4"},
                 {"long.txt", "1 2 3 4 5 6\n2 3 4 5 6\n", "line 1: five numbers expected, found 6"},
                 {"equal.txt", "1 2 3 4 5\n1 3 4 5 6\n", "line 2"},
                 {"down.txt", "1 2 3 4 5\n2 3 4 5 6\n1.5 3 4 5 6\n", "line 3"},
                 {"one.txt", "1 2 3 4 5\n", "fewer than two rows"},
                 {"empty.txt", "", "fewer than two rows"}};
    for (const auto& c : cases) {
        Tabulated tab;
        ASSERT_EQ(tab.loadFile(write("good.txt", rowsText(10))), "");
        const std::string path = write(c.name, c.text);
        const std::string msg = tab.loadFile(path);
        EXPECT_NE(msg.find(c.inMessage), std::string::npos) << c.name << ": " << msg;
        EXPECT_NE(msg.find(path), std::string::npos) << msg;
        EXPECT_EQ(tab.rows(), 0) << c.name;
    }
    Tabulated tab;
    const std::string missing = (dir / "no_such" / "DATA.TXT").string();
    const std::string msg = tab.loadFile(missing);
    EXPECT_NE(msg.find("Cannot open"), std::string::npos) << msg;
    EXPECT_NE(msg.find(missing), std::string::npos) << msg;
    EXPECT_EQ(tab.rows(), 0);
    EXPECT_NE(tab.loadFile(dir.string()), "");  // a folder is not a table
    EXPECT_EQ(tab.rows(), 0);
}

// Abscissae that are valid numbers but cannot carry a spline are refused, by rows and by file.
TEST_F(TempDir, DegenerateAbscissaeAreRefusedWhenLoaded) {
    struct Case {
        std::vector<double> x, y;
    } cases[] = {
        {{-1e308, 1e308}, {1, 2}},        // the step overflows
        {{-1e308, 0, 1e308}, {1, 2, 3}},  // the sum of two steps overflows
        {{0, 1e155, 2e155}, {0, 1, 0}},   // the curvature is weighed by h^2, which overflows
        {{0, 1e-320, 1}, {1, 2, 3}},      // a subnormal step: its reciprocal overflows
        {{1e-310, 1.0000001e-310, 2}, {0, 0, 0}},
        {{0, 1e-300, 1}, {-1e300, 1e300, 0}},  // finite steps, values too steep for the slopes
    };
    for (const auto& c : cases) {
        const int n = int(c.x.size());
        const double* f[4] = {c.y.data(), c.y.data(), c.y.data(), c.y.data()};
        Tabulated tab;
        const std::string err = tab.setRows(n, c.x.data(), f);
        EXPECT_NE(err.find("row 2"), std::string::npos) << c.x[1] << ": " << err;
        EXPECT_EQ(tab.rows(), 0);
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += dataField(c.x[i]);
            for (int k = 0; k < 4; ++k) text += dataField(c.y[i]);
            text += "\r\n";
        }
        EXPECT_NE(tab.loadFile(write("degenerate.txt", text)), "") << c.x[1];
        EXPECT_EQ(tab.rows(), 0);
    }
    // extreme but usable steps still load and interpolate finitely
    const double x[3] = {0, 1e-300, 2e-300};
    const double* f[4] = {x, x, x, x};
    Tabulated tab;
    ASSERT_EQ(tab.setRows(3, x, f), "");
    EXPECT_TRUE(std::isfinite(tab.splint(1, 5e-301)));
}

TEST(Tabulated, ShippedTableCoversTheRangeInUse) {
    Tabulated tab;
    ASSERT_EQ(tab.loadFile(kDataFile), "");
    EXPECT_LE(tab.rows(), Tabulated::kCapacity);
    EXPECT_LE(tab.x(1), 0.00012);
    EXPECT_GE(tab.x(tab.rows()), 30.0);
    for (int i = 2; i <= tab.rows(); ++i) ASSERT_GT(tab.x(i), tab.x(i - 1)) << i;
}

}  // namespace
}  // namespace lumerad
