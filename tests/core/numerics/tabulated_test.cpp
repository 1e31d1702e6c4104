#include "core/numerics/tabulated.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"

namespace lumerad {
namespace {

namespace fs = std::filesystem;

const std::string kDataFile = std::string(LUMERAD_SOURCE_DATA_DIR) + "/DATA.TXT";

// The textbook procedure the cached table must reproduce bit for bit: copy the column,
// build the clamped spline, then evaluate, at every single lookup.
struct RebuildingSpline {
    int n = 0;
    double x[351] = {}, y[351] = {}, y2[351] = {}, u[351] = {};

    void getData(const Tabulated& t, int c) {
        n = t.rows();
        for (int i = 1; i <= n; ++i) x[i] = t.x(i);
        if (c >= 1 && c <= 4)
            for (int i = 1; i <= n; ++i) y[i] = t.f(c, i);
    }
    void spline() {
        const double yp1 = (y[2] - y[1]) / (x[2] - x[1]);
        const double ypn = (y[n] - y[n - 1]) / (x[n] - x[n - 1]);
        if (yp1 > 9.9e29) {
            y2[1] = u[1] = 0.0;
        } else {
            y2[1] = -0.5;
            u[1] = (3.0 / (x[2] - x[1])) * ((y[2] - y[1]) / (x[2] - x[1]) - yp1);
        }
        for (int i = 2; i <= n - 1; ++i) {
            double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
            double p = sig * y2[i - 1] + 2.0;
            y2[i] = (sig - 1.0) / p;
            u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
            u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
        }
        double qn = 0.5, un = (3.0 / (x[n] - x[n - 1])) * (ypn - (y[n] - y[n - 1]) / (x[n] - x[n - 1]));
        if (ypn > 9.9e29) qn = un = 0.0;
        y2[n] = (un - qn * u[n - 1]) / (qn * y2[n - 1] + 1.0);
        for (int k = n - 1; k >= 1; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
    }
    double splint(double xv) {
        spline();
        int lo = 1, hi = n;
        while (hi - lo > 1) {
            int k = (hi + lo) / 2;
            if (x[k] > xv)
                hi = k;
            else
                lo = k;
        }
        double h = x[hi] - x[lo];
        double a = (x[hi] - xv) / h, b = (xv - x[lo]) / h;
        return a * y[lo] + b * y[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
    }
};

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
        char line[120];
        std::snprintf(line, sizeof line, "%d %g %g %g %g%s", i, 0.5 * i, 1.0 / i, i * i * 1.0, -2.0 * i, eol);
        s += line;
    }
    return s;
}

TEST(Tabulated, CachedSplineGivesTheSameBitsAsRebuildingAtEveryLookup) {
    Tabulated tab;
    ASSERT_EQ(tab.loadFile(kDataFile), "");
    RebuildingSpline ref;
    std::vector<double> xs = {1e-6, 0.00012, 0.0005, 0.001, 0.0123, 0.1,  0.5,
                              1.0,  2.75,    10.0,   29.9,  30.0,   31.0, 40.0};
    for (int k = 1; k <= tab.rows(); k += 7) xs.push_back(tab.x(k));
    for (int c : {1, 2, 3, 4}) {
        ref.getData(tab, c);
        for (double x : xs) EXPECT_EQ(tab.splint(c, x), ref.splint(x)) << "column " << c << " x " << x;
    }
}

TEST(Tabulated, LookupsAtAbscissaeAndBeyondTheEnds) {
    Tabulated tab;
    ASSERT_EQ(tab.loadFile(kDataFile), "");
    const int n = tab.rows();
    for (int k : {1, 2, n / 2, n - 1, n}) EXPECT_EQ(tab.splint(3, tab.x(k)), tab.f(3, k)) << k;
    // Outside the table the end cubic is extrapolated, not clamped to the end value.
    RebuildingSpline ref;
    ref.getData(tab, 4);
    const double below = tab.x(1) / 2, above = tab.x(n) + 1;
    EXPECT_EQ(tab.splint(4, below), ref.splint(below));
    EXPECT_NE(tab.splint(4, below), tab.f(4, 1));
    EXPECT_EQ(tab.splint(4, above), ref.splint(above));
    EXPECT_NE(tab.splint(4, above), tab.f(4, n));
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
    EXPECT_EQ(tab.loadFile(write("lf.txt", rowsText(5))), "");
    EXPECT_EQ(tab.rows(), 5);  // the trailing line break adds no row
    EXPECT_EQ(tab.loadFile(write("crlf.txt", rowsText(4, "\r\n"))), "");
    EXPECT_EQ(tab.rows(), 4);
    std::string noEnd = rowsText(3);
    noEnd.pop_back();
    EXPECT_EQ(tab.loadFile(write("noend.txt", noEnd)), "");
    EXPECT_EQ(tab.rows(), 3);
    EXPECT_EQ(tab.loadFile(write("blank.txt", rowsText(3) + "\n  \n")), "");
    EXPECT_EQ(tab.rows(), 3);
    EXPECT_EQ(tab.x(3), 3.0);
    EXPECT_EQ(tab.f(1, 3), 1.5);
    EXPECT_EQ(tab.f(4, 3), -6.0);
    EXPECT_EQ(tab.loadFile(write("bom.txt", "\xEF\xBB\xBF" + rowsText(3, "\r\n"))),
              "");  // saved by an editor
    EXPECT_EQ(tab.x(1), 1.0);
    EXPECT_EQ(tab.loadFile(write("full.txt", rowsText(350))), "");
    EXPECT_EQ(tab.rows(), 350);
    EXPECT_EQ(tab.loadFile(write("tabs.txt", "1\t2  3 4 5\n2 3e-1 -4 5.5 6E2\n")), "");
    EXPECT_EQ(tab.f(4, 2), 600.0);
}

TEST_F(TempDir, LoaderRefusesBadFilesAndLeavesTheTableEmpty) {
    struct Case {
        const char* name;
        std::string text;
        const char* inMessage;
    } cases[] = {
        {"big.txt", rowsText(351), "more than 350 rows"},
        {"word.txt", "1 2 3 4 5\n2 abc 3 4 5\n", "'abc' is not a valid floating point value"},
        {"nan.txt", "1 2 3 4 5\n2 nan 3 4 5\n", "'nan'"},
        {"huge.txt", "1 2 3 4 5\n2 1e999 3 4 5\n", "'1e999'"},
        {"short.txt", "1 2 3 4 5\n2 3 4 5\n", "line 2: five numbers expected, found 4"},
        {"long.txt", "1 2 3 4 5 6\n2 3 4 5 6\n", "line 1: five numbers expected, found 6"},
        {"equal.txt", "1 2 3 4 5\n1 3 4 5 6\n", "line 2"},
        {"down.txt", "1 2 3 4 5\n2 3 4 5 6\n1.5 3 4 5 6\n", "line 3"},
        {"one.txt", "1 2 3 4 5\n", "fewer than two rows"},
        {"empty.txt", "", "fewer than two rows"},
    };
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
