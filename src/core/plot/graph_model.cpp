#include "core/plot/graph_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"

namespace lumerad {

namespace {

// m x 10^k, built from its decimal text so that 0.001 is the double nearest to 1/1000
// rather than the product of two rounded numbers.
double decadeValue(int m, int k) {
    const std::string text = std::to_string(m) + ".0E" + std::to_string(k);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);  // as strtod, but never in the locale's style
    return v;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

double fieldValue(const std::string& text) { return parseReal(trimmed(text)); }

// Headroom above the largest value: 10 % of its magnitude, so that a negative maximum
// is not cut off either.
double withHeadroom(double max) { return max + 0.1 * std::fabs(max); }

}  // namespace

std::string valueFormatFor(double min, double max) {
    bool exp = false;
    if (min != 0 && max != 0) {
        exp = min < -10000 || max > 10000 || std::fabs(max / min) > 10000 || std::fabs(min) < 0.0001 ||
              std::fabs(max) < 0.0001;
    } else if (min == 0 && max > 10000) {
        exp = true;
    } else if (max == 0 && min < -10000) {
        exp = true;
    }
    return exp ? kExpFormat : kPlainFormat;
}

bool defineLogLabels(LogLabelTable& table, double min, double max, int maxSpan, const char* axisName) {
    if (min == 0) min = max / 10000;
    if (max == 0) max = min / 10000;
    if (min < 0 || max < 0) {
        throw InputError(std::string("A logarithmic ") + axisName +
                         "-axis needs positive bounds; the range " + general(min, 6) + " to " +
                         general(max, 6) +
                         " holds negative values. Enter positive bounds or "
                         "choose the linear scale.");
    }
    if (min == 0 || max == 0) return false;  // no data at all: nothing to label
    const double lo = std::floor(std::log10(min));
    const double hi = std::ceil(std::log10(max));
    const double n = hi - lo;
    if (!(n >= 1 && lo > -100 && hi < 100 && n < maxSpan)) return false;
    const int l = static_cast<int>(lo);
    const int span = static_cast<int>(n);
    if (span <= 4) {
        for (int j = 0; j <= 3; ++j) {
            table[3 * j] = decadeValue(1, l + j);
            table[3 * j + 1] = decadeValue(2, l + j);
            table[3 * j + 2] = decadeValue(5, l + j);
        }
        table[12] = decadeValue(1, l + 4);
    } else if (span <= 6) {
        for (int j = 0; j <= 6; ++j) table[2 * j] = decadeValue(1, l + j);
        for (int j = 0; j <= 5; ++j) table[2 * j + 1] = decadeValue(3, l + j);
    } else {
        // 7 to 12 decades. Eleven decades take this pattern as well: without it the axis
        // would keep the labels of an earlier, unrelated range.
        for (int j = 0; j < kLogLabelCount; ++j) table[j] = decadeValue(1, l + j);
    }
    return true;
}

void ChartGetNextAxisLabel(const LogLabelTable& table, int index, double& value, bool& stop) {
    double candidate = value;
    if (index >= 0 && index < kLogLabelCount) candidate = table[index];
    if (candidate > value) value = candidate;
    stop = false;
}

void ChartGetAxisLabel(const LogLabelTable& table, const std::string& format, std::string& text) {
    for (double v : table) {
        if (picture(format, v) == text) return;
    }
    text.clear();
}

std::string tickPicture(const std::string& format, double step, double lo, double hi) {
    step = std::fabs(step);
    const double top = std::max(std::fabs(lo), std::fabs(hi));
    if (!(step > 0) || !std::isfinite(step) || !(top > 0) || !std::isfinite(top)) return format;
    // decimal exponent of the step, and the digits its mantissa needs beyond the first
    const int stepExp = static_cast<int>(std::floor(std::log10(step)));
    const double mantissa = step / std::pow(10.0, stepExp);
    int extra = 0;
    while (extra < 3) {
        const double m = mantissa * std::pow(10.0, extra);
        if (std::fabs(m - std::round(m)) < 1e-6 * m) break;
        ++extra;
    }
    const auto epos = format.find_first_of("Ee");
    const bool scientific = epos != std::string::npos && epos + 1 < format.size() &&
                            (format[epos + 1] == '+' || format[epos + 1] == '-');
    const std::string mant = scientific ? format.substr(0, epos) : format;
    const std::string tail = scientific ? format.substr(epos) : std::string();
    const auto dot = mant.find('.');
    const std::string intPic = mant.substr(0, dot);
    const int have = dot == std::string::npos ? 0 : static_cast<int>(mant.size() - dot - 1);
    const int topExp = static_cast<int>(std::floor(std::log10(top)));
    int want = 0, cap = 0;
    if (scientific) {
        const int lead = std::max(1, static_cast<int>(std::count(intPic.begin(), intPic.end(), '0') +
                                                      std::count(intPic.begin(), intPic.end(), '#')));
        want = topExp - (lead - 1) - stepExp + extra;
        cap = 15 - lead;
    } else {
        want = -stepExp + extra;
        cap = std::max(0, 15 - std::max(0, topExp + 1));
    }
    want = std::min(want, cap);
    if (want <= have) return format;
    const std::string frac = dot == std::string::npos ? std::string() : mant.substr(dot + 1);
    return intPic + "." + frac + std::string(static_cast<size_t>(want - have), '#') + tail;
}

std::vector<double> logAxisLabels(const LogLabelTable& table, double lo, double hi) {
    std::vector<double> out;
    if (!(lo > 0) || !(hi > lo)) return out;
    const double slack = 1e-9;
    double value = lo;
    for (int index = 0; index < kLogLabelCount; ++index) {
        bool stop = false;
        ChartGetNextAxisLabel(table, index, value, stop);
        const double v = table[index];
        if (v != value || v <= 0) continue;  // the axis minimum itself carries no label
        if (v < lo * (1 - slack) || v > hi * (1 + slack)) continue;
        if (!out.empty() && v <= out.back()) continue;
        out.push_back(v);
    }
    return out;
}

namespace {

// Shades keep the hue: a mix towards black (darker) or white (lighter) by this fraction.
constexpr double kShadeMix[5] = {0, 0.4, 0.45, 0.65, 0.7};

std::string colourName(int colour) {
    switch (colour) {
        case kRedCurve:
            return "red";
        case kBlueCurve:
            return "blue";
        case 0x008000:
            return "green";
        case 0:
            return "black";
        default: {
            // #RRGGBB, the usual way round
            const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
            static const char* digits = "0123456789ABCDEF";
            std::string s = "#";
            for (int c : {r, g, b}) {
                s += digits[c >> 4];
                s += digits[c & 15];
            }
            return s;
        }
    }
}

}  // namespace

int CurveStyle::rgb() const {
    const double t = kShadeMix[std::clamp(shade, 0, 4)];
    const bool lighter = shade % 2 == 0;
    int out = 0;
    for (int byte = 0; byte < 3; ++byte) {
        const int c = (colour >> (8 * byte)) & 0xFF;
        const double target = lighter ? 255.0 : 0.0;
        const int v = static_cast<int>(std::lround(c + t * (target - c)));
        out |= std::clamp(v, 0, 255) << (8 * byte);
    }
    return out;
}

CurveStyle curveStyle(int colour, int variant) {
    variant = ((variant % kCurveVariants) + kCurveVariants) % kCurveVariants;
    CurveStyle s;
    s.colour = colour;
    s.dash = static_cast<Dash>(variant % 5);
    s.shade = (variant / 5) % 5;
    s.width = 1 + variant / 25;
    return s;
}

std::string curveStyleText(const CurveStyle& style) {
    static const char* dashes[] = {"solid", "dashed", "dotted", "dash-dot", "dash-dot-dot"};
    static const char* shades[] = {"", ", dark shade", ", light shade", ", darker shade", ", lighter shade"};
    std::string s = colourName(style.colour) + ", " + dashes[static_cast<int>(style.dash)] +
                    shades[std::clamp(style.shade, 0, 4)];
    if (style.width > 1) s += ", thick";
    return s;
}

std::string rangeFieldText(double v) {
    // Two decimals would turn a small bound (1E-4, a bunch length in metres) into 0.00, and
    // the next "update" would then read a range that is not the one typed.
    if (v != 0 && std::fabs(v) < 0.01) return pattern("%8.4g", v);
    return pattern(std::fabs(v) > 10000 ? "%8.0g" : "%8.2f", v);
}

GraphModel::GraphModel() {
    colour_.fill(-1);
    resetExtremes();
}

void GraphModel::forget(int i) {
    shown_[i] = false;
    points_[i].clear();
    colour_[i] = -1;
    variant_[i] = 0;
}

bool GraphModel::setColour(int colour) {
    const int index = CurrentCurve;
    if (colour_[index] == colour) return false;
    std::array<bool, kCurveVariants> worn{};
    for (int i = 0; i < kCurveSlots; ++i) {
        if (i != index && shown_[i] && colour_[i] == colour) worn[variant_[i] % kCurveVariants] = true;
    }
    int variant = 0;
    while (variant < kCurveVariants - 1 && worn[variant]) ++variant;
    colour_[index] = colour;
    variant_[index] = variant;
    return true;
}

std::optional<CurveStyle> GraphModel::style(int index) const {
    if (!valid(index) || !shown_[index] || colour_[index] < 0) return std::nullopt;
    return curveStyle(colour_[index], variant_[index]);
}

void GraphModel::resetExtremes() {
    DataXMin = DataYMin = kExtremeReset;
    DataXMax = DataYMax = -kExtremeReset;
}

void GraphModel::newGraph() {
    removeAll();
    resetExtremes();
}

void GraphModel::addGraph() {
    AddMode = true;
    ReplaceMode = false;
}

void GraphModel::replaceGraph() {
    ReplaceMode = true;
    AddMode = false;
    resetExtremes();
}

int GraphModel::curveCount() const {
    return static_cast<int>(std::count(shown_.begin(), shown_.end(), true));
}

std::vector<int> GraphModel::shownCurves() const {
    std::vector<int> v;
    for (int i = 0; i < kCurveSlots; ++i)
        if (shown_[i]) v.push_back(i);
    return v;
}

int GraphModel::freeAddSlot() const {
    const int preferred = curveCount() + 1;
    if (preferred < kCurveSlots && !shown_[preferred]) return preferred;
    // After a deletion the count can point at a curve still shown; taking its slot would
    // leave that curve on the chart with another curve's parameter lines and no way to
    // delete it. The lowest free index serves instead.
    for (int i = 1; i < kCurveSlots; ++i)
        if (!shown_[i]) return i;
    return -1;
}

int GraphModel::newCurve(std::vector<int>* removed) {
    int index = 0;
    if (ReplaceMode) {
        if (removed) {
            auto all = shownCurves();
            removed->insert(removed->end(), all.begin(), all.end());
        }
        removeAll();
        resetExtremes();
    } else if (AddMode) {
        if (curveCount() >= kMaxCurvNum) {
            throw InputError("The graph already holds " + std::to_string(kMaxCurvNum) +
                             " curves, the most it can show. Delete a curve (click it) or replace "
                             "the graph before adding another one.");
        }
        index = freeAddSlot();
    }
    if (shown_[index]) {  // the slot is reused: its old series leaves the chart
        if (removed) removed->push_back(index);
    }
    forget(index);
    CurrentCurve = index;
    shown_[index] = true;
    for (auto& line : CurveInfo[index]) line.clear();
    return index;
}

bool GraphModel::loadData(double x, double y) {
    if (!shown_[CurrentCurve]) {  // no curve opened yet: the current slot becomes one
        forget(CurrentCurve);
        shown_[CurrentCurve] = true;
    }
    points_[CurrentCurve].push_back({x, y});
    bool changed = false;
    if (DataXMin > x) DataXMin = x, changed = true;
    if (DataXMax < x) DataXMax = x, changed = true;
    if (DataYMin > y) DataYMin = y, changed = true;
    if (DataYMax < y) DataYMax = y, changed = true;
    return changed;
}

void GraphModel::addInfo(int line, const std::string& text) {
    if (line < 0 || line >= kInfoLines) {
        throw InputError("Curve information line " + std::to_string(line) + " does not exist (0 to " +
                         std::to_string(kInfoLines - 1) + ").");
    }
    CurveInfo[CurrentCurve][line] = text;
}

void GraphModel::removeAll() {
    for (int i = 0; i < kCurveSlots; ++i) forget(i);
}

void GraphModel::deleteCurve(int index) {
    if (!valid(index)) return;
    forget(index);
    for (auto& line : CurveInfo[index]) line.clear();
}

std::vector<std::string> GraphModel::infoPanelItems(int index) const {
    const std::string dashes36(36, '-');
    std::vector<std::string> items{"source parameters for this curve: ", dashes36,
                                   "click here to close this panel", "click here to delete this curve",
                                   dashes36};
    if (valid(index)) {
        for (const auto& line : CurveInfo[index])
            if (!line.empty()) items.push_back(line);
        if (const auto s = style(index)) items.push_back(kStylePrefix + curveStyleText(*s));
    }
    items.push_back(std::string(37, '-'));
    return items;
}

bool GraphModel::dataRange(double& xmin, double& xmax, double& ymin, double& ymax) const {
    bool any = false;
    xmin = ymin = kExtremeReset;
    xmax = ymax = -kExtremeReset;
    for (int i = 0; i < kCurveSlots; ++i) {
        if (!shown_[i]) continue;
        for (const auto& p : points_[i]) {
            any = true;
            xmin = std::min(xmin, p.x);
            xmax = std::max(xmax, p.x);
            ymin = std::min(ymin, p.y);
            ymax = std::max(ymax, p.y);
        }
    }
    if (!any) xmin = xmax = ymin = ymax = 0;
    return any;
}

UpdatePlan GraphModel::planUpdate(bool xLog, bool yLog, const RangeFields* fields) const {
    UpdatePlan plan;
    double xmin, xmax, ymin, ymax, dx, dy;
    if (fields) {  // all six are converted before anything is decided
        xmin = fieldValue(fields->xmin);
        xmax = fieldValue(fields->xmax);
        ymin = fieldValue(fields->ymin);
        ymax = fieldValue(fields->ymax);
        dx = fieldValue(fields->dx);
        dy = fieldValue(fields->dy);
    } else {
        dataRange(xmin, xmax, ymin, ymax);
        dx = (xmax - xmin) / 10000;
        dy = (ymax - ymin) / 10000;
    }
    plan.x.format = valueFormatFor(xmin, xmax);
    plan.y.format = valueFormatFor(ymin, ymax);

    auto setUp = [&](AxisPlan& axis, bool log, double& min, double max, double incr,
                     const LogLabelTable& current, int maxSpan, const char* name) {
        axis.log = log;
        if (!log) {
            axis.increment = incr;
        } else {
            LogLabelTable t = current;
            if (defineLogLabels(t, min, max, maxSpan, name)) axis.labels = t;
        }
        if (!fields && max / 10000 > std::fabs(min)) {
            min = max / 10000;
            // A spectrum running far into its exponential tail spans more decades than a
            // table takes; the axis then shows only the four decades below the maximum,
            // and without this it would carry no labels (or those of an earlier plot).
            if (log && !axis.labels) {
                LogLabelTable t = current;
                if (defineLogLabels(t, min, max, maxSpan, name)) axis.labels = t;
            }
        }
        axis.lo = min;
        // the data get headroom above their maximum; a typed range is drawn as typed, so that
        // the fields, which show the drawn range, stay put on the next "update"
        axis.hi = fields ? max : withHeadroom(max);
        if (log && axis.lo == 0) axis.lo = max / 10000;  // a zero bound as in the label tables
        if (!fields) return;                             // ranges from data: no data leaves the axis as it is
        // typed bounds that leave no range to show
        const std::string n(name);
        if (axis.lo == axis.hi) {
            throw InputError(n + "_min and " + n + "_max leave no " + n +
                             "-axis range to show; enter two different values.");
        }
        if (log && std::min(axis.lo, axis.hi) <= 0) {
            throw InputError("A logarithmic " + n + "-axis needs positive bounds; enter " + n + "_min and " +
                             n + "_max above zero or choose the linear scale.");
        }
    };
    setUp(plan.y, yLog, ymin, ymax, dy, LogLabelsY, 13, "y");
    setUp(plan.x, xLog, xmin, xmax, dx, LogLabelsX, 12, "x");

    plan.xmin = xmin;
    plan.xmax = xmax;
    plan.ymin = ymin;
    plan.ymax = ymax;
    // The fields show the range the axes are drawn with (a range without width is not drawn).
    auto shown = [](const AxisPlan& a, double lo, double hi) {
        return a.hi > a.lo ? std::pair{a.lo, a.hi} : std::pair{lo, hi};
    };
    const auto [x0, x1] = shown(plan.x, xmin, xmax);
    const auto [y0, y1] = shown(plan.y, ymin, ymax);
    plan.exmin = rangeFieldText(x0);
    plan.exmax = rangeFieldText(x1);
    plan.eymin = rangeFieldText(y0);
    plan.eymax = rangeFieldText(y1);
    return plan;
}

void GraphModel::commit(const UpdatePlan& plan) {
    if (plan.x.labels) LogLabelsX = *plan.x.labels;
    if (plan.y.labels) LogLabelsY = *plan.y.labels;
}

}  // namespace lumerad
