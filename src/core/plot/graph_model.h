#pragma once
// Bookkeeping of the graph window, free of any toolkit: curve slots and their parameter
// lines, the add/replace modes, the running data extremes, the axis value formats, the
// automatic and typed axis ranges, and the label tables of logarithmic axes.
//
// The window mirrors this state onto the chart: every slot that is "shown" here has one
// plotted series there, titled with the slot's index.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace lumerad {

inline constexpr int kMaxCurvNum = 50;     // most curves the chart may hold
inline constexpr int kCurveSlots = 51;     // curve indexes 0..50
inline constexpr int kInfoLines = 16;      // parameter lines 0..15 per curve
inline constexpr int kLogLabelCount = 13;  // label slots 0..12 of a logarithmic axis
inline constexpr double kExtremeReset = 1e100;

// Axis value formats (display pictures of number_text).
inline constexpr const char* kPlainFormat = "#,##0.###";
inline constexpr const char* kExpFormat = "0.#E+00";

using LogLabelTable = std::array<double, kLogLabelCount>;

// "#,##0.###", or "0.#E+00" when the pair spans too many decades or holds very large or
// very small numbers.
std::string valueFormatFor(double min, double max);

// Fills the label table of a logarithmic axis for [min, max]. maxSpan is the largest
// number of decades accepted plus one (12 for the bottom axis, 13 for the left).
// Spans of 1-4 decades get 1-2-5 steps, 5-6 decades 1-3 steps, 7 and more one label
// per decade; a span of 11 decades (not covered by the two older patterns) also gets
// one label per decade. Returns false and leaves the table unchanged when the span is
// refused (no decade, more than maxSpan - 1 decades, exponents beyond +/-99) or when
// both bounds are zero. Throws InputError when a bound is negative: a logarithmic axis
// has no place for it.
bool defineLogLabels(LogLabelTable& table, double min, double max, int maxSpan, const char* axisName);
inline bool DefineLx(LogLabelTable& t, double min, double max) {
    return defineLogLabels(t, min, max, 12, "x");
}
inline bool DefineLy(LogLabelTable& t, double min, double max) {
    return defineLogLabels(t, min, max, 13, "y");
}

// The two label callbacks of a logarithmic axis. ChartGetNextAxisLabel: the value of
// label `index` from the value of the one before (labelling never stops);
// ChartGetAxisLabel: empties a label text that is not one of the table values written
// in the axis's value format.
void ChartGetNextAxisLabel(const LogLabelTable& table, int index, double& value, bool& stop);
void ChartGetAxisLabel(const LogLabelTable& table, const std::string& format, std::string& text);

// The labels a logarithmic axis shows on [lo, hi]: the table values inside the range,
// ascending, each once.
std::vector<double> logAxisLabels(const LogLabelTable& table, double lo, double hi);

// The picture for the labels of a linear axis on [lo, hi] with ticks `step` apart: `format`
// with as many more fraction digits as the step needs, so that neighbouring labels differ
// (a narrow range such as 1.0000001 to 1.0000002 needs seven, a step of 2.5 x 10^k one more
// than a step of 2 x 10^k). Never more than 15 significant digits.
std::string tickPicture(const std::string& format, double step, double lo, double hi);

struct CurvePoint {
    double x, y;
};

// Curve colours as the calculator windows pass them (24 bits, red in the low byte). A
// colour keeps its meaning on every chart: red is sigma polarisation (and any curve
// without one), blue is pi.
inline constexpr int kRedCurve = 255;
inline constexpr int kBlueCurve = 16711680;

// How a curve is drawn. The colour is the caller's; curves of one colour are told apart by
// the dash pattern first, then by a darker or lighter shade of that colour, then by width.
enum class Dash { Solid, Dashed, Dotted, DashDot, DashDotDot };
struct CurveStyle {
    int colour = kRedCurve;  // as passed by the caller
    Dash dash = Dash::Solid;
    int shade = 0;  // 0: the colour itself; 1, 3: darker; 2, 4: lighter
    int width = 1;
    int rgb() const;  // the drawn colour, same byte order as `colour`
    bool operator==(const CurveStyle&) const = default;
};
inline constexpr int kCurveVariants = 50;  // distinct styles per colour
// Variant 0 is a solid line in the colour itself; every variant below kCurveVariants differs.
CurveStyle curveStyle(int colour, int variant);
// "red, dashed", "blue, dotted, dark shade", ... as the information panel shows it.
std::string curveStyleText(const CurveStyle& style);

// One axis after Update: scale, value format, label increment (linear axes), range and,
// for a logarithmic axis, whether its label table was renewed.
struct AxisPlan {
    bool log = false;
    std::string format = kPlainFormat;
    double increment = 0;
    double lo = 0, hi = 1;
    std::optional<LogLabelTable> labels;  // the new table, when DefineLx/DefineLy changed it
};

struct UpdatePlan {
    AxisPlan x, y;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    // Texts of Exmin, Exmax, Eymin, Eymax.
    std::string exmin, exmax, eymin, eymax;
};

// The six field texts read when the axes are typed in by the user.
struct RangeFields {
    std::string xmin, xmax, dx, ymin, ymax, dy;
};

class GraphModel {
public:
    GraphModel();

    // --- operations for the calculator windows
    void newGraph();  // extremes reset; modes, curve index and lines kept
    void addGraph();
    void replaceGraph();
    // Opens a curve and returns its index. removed receives the indexes whose series must
    // leave the chart (replace mode: all; a reused slot: the old series). Throws
    // InputError when the chart already holds MaxCurvNum curves in add mode.
    int newCurve(std::vector<int>* removed = nullptr);
    int curveCount() const;
    static int maxCurvNum() { return kMaxCurvNum; }
    // Appends a point to the current curve (opening curve 0 when none is shown) and
    // updates the extremes. Returns true when an extreme changed.
    bool loadData(double x, double y);
    void addInfo(int line, const std::string& text);
    // The colour of the current curve's points. A curve's first colour (or a change of it)
    // gives the curve the first style not worn by another shown curve of that colour.
    // Returns true when the style changed.
    bool setColour(int colour);
    // The style of a shown curve that has points; nothing otherwise.
    std::optional<CurveStyle> style(int index) const;

    // --- curves
    bool shown(int index) const { return valid(index) && shown_[index]; }
    const std::vector<CurvePoint>& points(int index) const { return points_.at(index); }
    const std::string& info(int index, int line) const { return CurveInfo.at(index).at(line); }
    void removeAll();             // every series off the chart (lines kept)
    void deleteCurve(int index);  // series off the chart, its 16 lines emptied
    std::vector<int> shownCurves() const;

    // --- information panel
    // The head lines, the curve's non-empty lines, its line style, the closing dashes.
    std::vector<std::string> infoPanelItems(int index) const;
    static constexpr const char* kStylePrefix = "line style: ";
    static constexpr int kCloseItem = 2;
    static constexpr int kDeleteItem = 3;

    // --- axes
    // Plans the axis set-up. fields: the typed ranges (UserAxes), or nothing for ranges
    // from the data. Throws InputError (not a number, negative bound of a logarithmic
    // axis) before anything is decided; the model itself is not changed.
    UpdatePlan planUpdate(bool xLog, bool yLog, const RangeFields* fields) const;
    // Takes over the label tables of a plan that was applied.
    void commit(const UpdatePlan& plan);

    // Smallest and largest coordinates of all shown curves; false when there are none.
    bool dataRange(double& xmin, double& xmax, double& ymin, double& ymax) const;

    // --- state
    int CurrentCurve = 0;
    int ClickedCurve = 0;
    bool AddMode = false;
    bool ReplaceMode = false;
    bool UserAxes = false;
    double DataXMin, DataXMax, DataYMin, DataYMax;
    LogLabelTable LogLabelsX{}, LogLabelsY{};

    void resetExtremes();

private:
    static bool valid(int i) { return i >= 0 && i < kCurveSlots; }
    int freeAddSlot() const;

    void forget(int i);  // the slot holds no curve any more

    std::array<bool, kCurveSlots> shown_{};
    std::array<int, kCurveSlots> colour_{};  // -1: no point yet
    std::array<int, kCurveSlots> variant_{};
    std::array<std::vector<CurvePoint>, kCurveSlots> points_;
    std::array<std::array<std::string, kInfoLines>, kCurveSlots> CurveInfo;
};

// Range field text after Update: "%8.0g" beyond 10000 in magnitude, "%8.4g" below 0.01
// (but not zero), else "%8.2f".
std::string rangeFieldText(double v);

}  // namespace lumerad
