#include "core/plot/graph_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"
#include "core/numerics/text_to_number.h"

using namespace lumerad;

namespace {

template <class Table>
void expectTable(const Table& t, const std::vector<double>& want) {
    ASSERT_EQ(want.size(), t.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_DOUBLE_EQ(want[i], t[i]) << "slot " << i;
}

std::string trimmedCopy(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

// An axis of a plan: its range, increment and field format.
void expectAxis(const AxisPlan& a, double lo, double hi, double increment, const char* format) {
    EXPECT_DOUBLE_EQ(lo, a.lo);
    EXPECT_DOUBLE_EQ(hi, a.hi);
    EXPECT_DOUBLE_EQ(increment, a.increment);
    EXPECT_EQ(format, a.format);
}

void fill(GraphModel& m, std::initializer_list<CurvePoint> pts) {
    for (auto p : pts) m.loadData(p.x, p.y);
}

}  // namespace

// Above 10000 in size, a ratio of the extremes above 10000, or a nonzero size below 1e-4.
TEST(ValueFormat, SwitchesToExponentForWideOrExtremeRanges) {
    const std::tuple<double, double, bool> cases[] = {
        {0, 5, false},      {0, 20000, true},    {0.00005, 1, true}, {1, 20000, true},
        {0.5, 6000, true},  {0.5, 4000, false},  {-20000, 0, true},  {-5000, 0, false},
        {-20000, -3, true}, {0, 0.00001, false}, {0, 0, false}};  // a tiny maximum beside 0 is plain
    for (const auto& [lo, hi, exp] : cases)
        EXPECT_EQ(valueFormatFor(lo, hi), exp ? "0.#E+00" : "#,##0.###") << lo << " " << hi;
}

// 1-2-5 steps up to four decades (one decade starts at the lower one), 1-3 steps for five or
// six, one label per decade beyond; the bottom axis takes eleven decades, the left one twelve.
// A zero minimum is max / 10000. A refused span leaves the table as it was.
TEST(LogLabels, StepsByTheNumberOfDecadesAndTheirLimits) {
    const auto decades = [](int from) {
        std::vector<double> v;
        for (int j = 0; j < 13; ++j) v.push_back(std::pow(10.0, from + j));
        return v;
    };
    struct Case {
        bool bottom;
        double min, max;
        std::vector<double> want;  // empty: refused
    } cases[] = {
        {false, 0.5, 300, {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}},
        {true, 2, 9, {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000}},
        {true, 0.002, 500, {0.001, 0.003, 0.01, 0.03, 0.1, 0.3, 1, 3, 10, 30, 100, 300, 1000}},
        {false, 0, 200, {0.01, 0.03, 0.1, 0.3, 1, 3, 10, 30, 100, 300, 1000, 3000, 10000}},
        {false, 0.0002, 5e7, decades(-4)},
        {true, 0.5, 5e9, decades(-1)},
        {false, 0.5, 5e9, decades(-1)},
        {true, 0.0002, 5e7, {}},  // twelve decades
        {false, 1e-5, 5e7, {}},   // thirteen
        {false, 1, 1, {}},        // no decade at all
        {false, 0, 0, {}},
        {false, 1e-120, 1e-115, {}},  // exponents beyond 99
    };
    for (const auto& c : cases) {
        LogLabelTable t;
        t.fill(7);
        const bool defined = c.bottom ? DefineLx(t, c.min, c.max) : DefineLy(t, c.min, c.max);
        EXPECT_EQ(defined, !c.want.empty()) << c.min << " " << c.max;
        expectTable(t, defined ? c.want : std::vector<double>(13, 7.0));
    }
    LogLabelTable t{};
    EXPECT_THROW(DefineLy(t, -1, 100), InputError);
    EXPECT_THROW(DefineLx(t, 0, -100), InputError);
}

TEST(LogLabels, CallbacksLabelOnlyTableValues) {
    LogLabelTable t{};
    DefineLy(t, 0.5, 300);
    auto next = [&](int index, double value) {
        bool stop = true;
        ChartGetNextAxisLabel(t, index, value, stop);
        EXPECT_FALSE(stop);
        return value;
    };
    EXPECT_DOUBLE_EQ(0.1, next(0, 0.05));
    EXPECT_DOUBLE_EQ(0.3, next(1, 0.3));  // table value below: value kept
    EXPECT_DOUBLE_EQ(7, next(13, 7));     // beyond the table: unchanged
    EXPECT_DOUBLE_EQ(7, next(-1, 7));
    // a 1-2-5 table: "3" is no label of it
    for (auto [format, in, out] :
         {std::tuple{"#,##0.###", "2", "2"}, {"#,##0.###", "3", ""}, {"0.#E+00", "2E+01", "2E+01"}}) {
        std::string text = in;
        ChartGetAxisLabel(t, format, text);
        EXPECT_EQ(out, text) << in;
    }
    expectTable(logAxisLabels(t, 0.15, 220), {0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200});
    EXPECT_TRUE(logAxisLabels(LogLabelTable{}, 1, 100).empty());  // untouched table: no labels
}

TEST(Curves, IndexesInAddMode) {
    GraphModel m;
    m.newGraph();
    m.addGraph();
    EXPECT_EQ(1, m.newCurve());
    EXPECT_EQ(2, m.newCurve());
    EXPECT_EQ(3, m.newCurve());
    EXPECT_EQ(3, m.curveCount());
    EXPECT_EQ(3, m.CurrentCurve);
    // after deleting curve 1 the count points at curve 3, which is still shown:
    // the new curve takes the free slot 1 and curve 3 keeps its lines
    m.CurrentCurve = 3;
    m.addInfo(1, "curve three");
    m.deleteCurve(1);
    std::vector<int> removed;
    EXPECT_EQ(1, m.newCurve(&removed));
    EXPECT_TRUE(removed.empty());
    EXPECT_EQ("curve three", m.info(3, 1));
    EXPECT_EQ(3, m.curveCount());
}

TEST(Curves, ReplaceModeAndNoMode) {
    GraphModel m;
    m.addGraph();
    m.newCurve();
    m.newCurve();
    m.loadData(1, 2);
    m.replaceGraph();
    EXPECT_EQ(1e100, m.DataXMin);
    std::vector<int> removed;
    EXPECT_EQ(0, m.newCurve(&removed));
    EXPECT_EQ((std::vector<int>{1, 2}), removed);
    EXPECT_EQ(1, m.curveCount());
    EXPECT_EQ(0, m.newCurve());
    EXPECT_EQ(1, m.curveCount());
    // neither mode: index 0, the other curves stay
    GraphModel n;
    n.addGraph();
    n.newCurve();
    n.AddMode = false;
    removed.clear();
    EXPECT_EQ(0, n.newCurve(&removed));
    EXPECT_TRUE(removed.empty());
    EXPECT_EQ(2, n.curveCount());
}

TEST(Curves, FiftyCurvesAreTheLimitInAddMode) {
    GraphModel m;
    m.addGraph();
    for (int i = 1; i <= kMaxCurvNum; ++i) {
        ASSERT_EQ(i, m.newCurve());
        m.addInfo(1, "c" + std::to_string(i));
    }
    EXPECT_EQ(50, m.curveCount());
    EXPECT_THROW(m.newCurve(), InputError);
    EXPECT_EQ(50, m.CurrentCurve);
    EXPECT_EQ("c50", m.info(50, 1));
    EXPECT_EQ(50, m.curveCount());
    // replacing is still possible
    m.replaceGraph();
    EXPECT_EQ(0, m.newCurve());
}

TEST(Curves, ExtremesAndLoadingWithoutCurve) {
    GraphModel m;
    EXPECT_EQ(0, m.curveCount());
    EXPECT_TRUE(m.loadData(2, -3));  // no curve opened: curve 0 is
    EXPECT_EQ(1, m.curveCount());
    EXPECT_TRUE(m.shown(0));
    EXPECT_TRUE(m.loadData(5, 7));
    EXPECT_FALSE(m.loadData(3, 0));  // within the extremes: nothing changes
    EXPECT_TRUE(m.loadData(1.5, -1));
    EXPECT_EQ(1.5, m.DataXMin);
    EXPECT_EQ(5, m.DataXMax);
    EXPECT_EQ(-3, m.DataYMin);
    EXPECT_EQ(7, m.DataYMax);
    m.addGraph();
    m.newCurve();  // add mode keeps the extremes over all curves
    m.loadData(-1, 100);
    EXPECT_EQ(-1, m.DataXMin);
    EXPECT_EQ(-3, m.DataYMin);
    m.newGraph();
    EXPECT_EQ(0, m.curveCount());
    EXPECT_EQ(1e100, m.DataYMin);
    EXPECT_THROW(m.addInfo(16, "x"), InputError);
}

TEST(InfoPanel, HeadLinesNonEmptyLinesAndClosingDashes) {
    GraphModel m;
    m.addGraph();
    int c = m.newCurve();
    auto items = m.infoPanelItems(c);
    ASSERT_EQ(6u, items.size());  // head lines and closing dashes
    m.addInfo(3, "B = 1.2 T");
    m.addInfo(1, "ESRF");
    m.addInfo(2, "");
    items = m.infoPanelItems(c);
    ASSERT_EQ(8u, items.size());
    EXPECT_EQ("ESRF", items[5]);
    EXPECT_EQ("B = 1.2 T", items[6]);
    m.deleteCurve(c);
    EXPECT_EQ(6u, m.infoPanelItems(c).size());
    EXPECT_FALSE(m.shown(c));
    // a new curve on a used slot starts with empty lines
    m.CurrentCurve = 0;
    m.addInfo(4, "old");
    m.AddMode = false;
    m.newCurve();
    EXPECT_EQ("", m.info(0, 4));
}

// Each curve takes the first style its colour does not wear yet; a deleted curve's style is
// free again; red and blue keep their meaning (sigma and pi) however the curves are told apart.
TEST(CurveStyles, SameColourCurvesDifferAndColoursKeepTheirMeaning) {
    GraphModel m;
    m.addGraph();
    struct Step {
        int colour;
        int deleteFirst;  // curve index deleted before this one is opened, or 0
        const char* want;
    };
    const Step steps[] = {
        {kRedCurve, 0, "red, solid"},
        {kBlueCurve, 0, "blue, solid"},
        {kRedCurve, 0, "red, dashed"},
        {kRedCurve, 0, "red, dotted"},
        {kBlueCurve, 0, "blue, dashed"},
        {kRedCurve, 3, "red, dashed"},
        {kRedCurve, 0, "red, dash-dot"},
        {kRedCurve, 0, "red, dash-dot-dot"},
        {kRedCurve, 0, "red, solid, dark shade"},
    };
    for (const Step& s : steps) {
        if (s.deleteFirst) m.deleteCurve(s.deleteFirst);
        const int c = m.newCurve();
        m.loadData(1, 1);
        EXPECT_TRUE(m.setColour(s.colour));
        EXPECT_FALSE(m.setColour(s.colour));  // further points keep the style
        ASSERT_TRUE(m.style(c));
        EXPECT_EQ(s.want, curveStyleText(*m.style(c)));
        const auto items = m.infoPanelItems(c);
        EXPECT_EQ(std::string("line style: ") + s.want, items[items.size() - 2]);
    }
    // every variant of a colour is drawn differently and keeps the hue: red stays red, blue blue
    for (int colour : {kRedCurve, kBlueCurve}) {
        std::set<std::tuple<int, int, int>> seen;
        for (int v = 0; v < kCurveVariants; ++v) {
            const CurveStyle st = curveStyle(colour, v);
            seen.insert({st.rgb(), int(st.dash), st.width});
            const int r = st.rgb() & 0xFF, g = (st.rgb() >> 8) & 0xFF, b = (st.rgb() >> 16) & 0xFF;
            const bool hueKept = colour == kRedCurve ? r > g + 60 && g == b : b > g + 60 && g == r;
            EXPECT_TRUE(hueKept) << v;
        }
        EXPECT_EQ(size_t(kCurveVariants), seen.size());
    }
}

TEST(Update, AutomaticRanges) {
    GraphModel m;
    m.addGraph();
    m.newCurve();
    fill(m, {{1, 0}, {3, 200}, {5, 50}});
    UpdatePlan p = m.planUpdate(false, false, nullptr);
    expectAxis(p.y, 0.02, 220, 200.0 / 10000, "#,##0.###");
    EXPECT_DOUBLE_EQ(0.02, p.ymin);
    expectAxis(p.x, 1, 5.5, 4.0 / 10000, "#,##0.###");  // 5 / 10000 is below 1: kept
    EXPECT_FALSE(p.x.log);
    // the fields show the range drawn, headroom included
    EXPECT_EQ("    1.00|    5.50|    0.02|  220.00", p.exmin + "|" + p.exmax + "|" + p.eymin + "|" + p.eymax);
    // a maximum above 10000 switches its field to the two-digit general pattern
    m.loadData(2, 30000);
    p = m.planUpdate(false, false, nullptr);
    EXPECT_EQ("0.#E+00", p.y.format);
    EXPECT_DOUBLE_EQ(3, p.ymin);
    EXPECT_DOUBLE_EQ(33000, p.y.hi);
}

TEST(Update, LogarithmicAxesFromData) {
    GraphModel m;
    m.newCurve();
    fill(m, {{0.002, 0.5}, {500, 300}});
    UpdatePlan p = m.planUpdate(true, true, nullptr);
    ASSERT_TRUE(p.x.labels.has_value());
    ASSERT_TRUE(p.y.labels.has_value());
    EXPECT_DOUBLE_EQ(0.003, (*p.x.labels)[1]);
    EXPECT_DOUBLE_EQ(0.2, (*p.y.labels)[1]);
    EXPECT_TRUE(p.y.log);
    EXPECT_DOUBLE_EQ(330, p.y.hi);
    // the model keeps its tables until the plan is applied
    EXPECT_EQ(0, m.LogLabelsX[1]);
    m.commit(p);
    EXPECT_DOUBLE_EQ(0.003, m.LogLabelsX[1]);
    // negative data on a logarithmic axis is refused; the linear one is fine
    m.loadData(1, -4);
    EXPECT_THROW(m.planUpdate(false, true, nullptr), InputError);
    EXPECT_NO_THROW(m.planUpdate(true, false, nullptr));
}

TEST(Update, LogarithmicAxisOfASpectrumTailStillGetsLabels) {
    // A bending-magnet spectrum scanned to 30 critical energies: the flux falls from
    // 2e13 to about 1e-2, sixteen decades, more than a label table takes. The automatic
    // axis shows 2e9 .. 2.2e13 and must be labelled there, 1-3 steps over 2e9 .. 2e13.
    GraphModel m;
    m.newCurve();
    fill(m, {{10, 5e12}, {2400, 2e13}, {250000, 1e-2}});
    const UpdatePlan p = m.planUpdate(true, true, nullptr);
    EXPECT_DOUBLE_EQ(2e9, p.y.lo);
    ASSERT_TRUE(p.y.labels.has_value());
    expectTable(logAxisLabels(*p.y.labels, p.y.lo, p.y.hi), {3e9, 1e10, 3e10, 1e11, 3e11, 1e12, 3e12, 1e13});
    // the x-axis (10 .. 250000 eV, five decades) keeps the table of its data range
    ASSERT_TRUE(p.x.labels.has_value());
    EXPECT_DOUBLE_EQ(10, (*p.x.labels)[0]);
    EXPECT_DOUBLE_EQ(1e6, (*p.x.labels)[10]);
}

TEST(Update, TypedRanges) {
    GraphModel m;
    m.newCurve();
    fill(m, {{0, 0}, {10, 10}});
    RangeFields f{"1", " 20000 ", "1.0", "0", "200", "50"};
    UpdatePlan p = m.planUpdate(false, false, &f);
    // a typed range is drawn as typed, and the fields keep it
    expectAxis(p.x, 1, 20000, 1, "0.#E+00");
    expectAxis(p.y, 0, 200, 50, "#,##0.###");  // typed minimum is not raised
    EXPECT_EQ("    1.00|     2E4|    0.00|  200.00", p.exmin + "|" + p.exmax + "|" + p.eymin + "|" + p.eymax);
    // on a logarithmic axis a typed zero becomes max / 10000
    p = m.planUpdate(false, true, &f);
    EXPECT_DOUBLE_EQ(0.02, p.y.lo);
    // one bad field stops everything, whichever it is
    for (int i = 0; i < 6; ++i) {
        RangeFields g = f;
        std::string* fields[] = {&g.xmin, &g.xmax, &g.dx, &g.ymin, &g.ymax, &g.dy};
        *fields[i] = "abc";
        EXPECT_EQ(thrown<InputError>([&] { m.planUpdate(false, false, &g); }),
                  "'abc' is not a valid floating point value")
            << i;
    }
    RangeFields neg{"1", "100", "1", "-5", "100", "1"};
    EXPECT_THROW(m.planUpdate(false, true, &neg), InputError);
    // typed bounds without a range, and a zero maximum on a logarithmic axis, are refused
    RangeFields none{"0", "0", "1", "1", "100", "1"};
    EXPECT_THROW(m.planUpdate(false, false, &none), InputError);
    RangeFields zeroMax{"1", "100", "1", "5", "0", "1"};
    EXPECT_NO_THROW(m.planUpdate(false, false, &zeroMax));  // linear: 0 .. 5 is a range
    EXPECT_THROW(m.planUpdate(false, true, &zeroMax), InputError);
    // without data the automatic ranges are empty, which is no error
    GraphModel empty;
    EXPECT_NO_THROW(empty.planUpdate(true, true, nullptr));
}

TEST(Update, RangeFieldTexts) {
    EXPECT_EQ("    0.02", rangeFieldText(0.02));
    EXPECT_EQ("   -3.14", rangeFieldText(-3.14159));
    EXPECT_EQ("10000.00", rangeFieldText(10000));
    EXPECT_EQ("     2E4", rangeFieldText(20000));
    EXPECT_EQ(" -4.6E15", rangeFieldText(-4.6e15));
    // small typed bounds survive being written back
    for (double v : {1e-13, 1.234e-12, 0.0001, 0.0003, -2.5e-5, 0.005})
        EXPECT_NEAR(v, parseReal(trimmedCopy(rangeFieldText(v))), 1e-3 * std::fabs(v)) << v;
}
