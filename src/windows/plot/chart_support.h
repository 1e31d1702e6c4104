#pragma once
// What the graph window and the line graph share on top of QCustomPlot: axis tickers that
// label with the display pictures of number_text, the export of a chart to a Windows
// metafile, PNG, SVG or PDF, printing, and the title entry through TfEnterText.
#include <qcustomplot.h>

#include <QString>
#include <cfenv>
#include <optional>
#include <string>

#include "core/numerics/errors.h"
#include "core/plot/graph_model.h"

class QPrinter;

namespace lumerad {

struct AppContext;

// The chart widget of the plot windows. QCustomPlot computes freely in floating point
// while it lays out and draws (the logarithm of a zero value on a logarithmic axis, pixel
// coordinates of points far outside the axis rectangle); when that happens inside a user
// action (the window shown or resized by another window's button, a replot queued before
// a modal dialog runs its event loop) the action would end with a floating-point message
// that has nothing to do with its numbers. Every replot, however it is started, and every
// event the widget handles (paint, resize, show, mouse) therefore leaves the flags as it
// found them.
//
// Its layout keeps every axis title and tick label inside the widget at any size: the margins
// grow where an outer tick label would stick out, and an axis title longer than its axis is
// broken into two lines, the lines shortened with an ellipsis only when even that is too long.
class QuietPlot : public QCustomPlot {
public:
    explicit QuietPlot(QWidget* parent = nullptr);

    // The axis title as it was set, before it was fitted into the chart.
    static QString axisTitle(const QCPAxis* axis);

protected:
    bool event(QEvent* e) override;
    void updateLayout() override;

private:
    bool fitAxisTitle(QCPAxis* axis);
    QMargins tickLabelOverhang() const;

    std::fexcept_t beforeReplot_{};
    std::optional<QMargins> baseMargins_;  // the margins the window asked for
};

// Linear axis: labels every `increment` when that gives a readable number of labels,
// otherwise at a readable multiple chosen by QCustomPlot; label texts in a display picture,
// with as many more decimals as the tick step needs so that no two labels read alike.
class PictureTicker : public QCPAxisTicker {
public:
    std::string format = kPlainFormat;
    double increment = 0;
    int subTicks = 4;

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;

private:
    std::string label(double tick) const;
    std::string picture_ = kPlainFormat;  // format widened for the current tick step
    double step_ = 0;
};

// Logarithmic axis: ticks and labels exactly at the values of the label table, nowhere else.
class LogTableTicker : public QCPAxisTicker {
public:
    LogLabelTable table{};
    std::string format = kExpFormat;

protected:
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;
    QVector<double> createSubTickVector(int subTickCount, const QVector<double>& ticks) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
};

// The pen of a curve drawn in `style`, and a short sample of that line for a list item.
QPen curvePen(const CurveStyle& style);
QIcon curveSample(const CurveStyle& style, const QColor& background);

// The chart's title element (the first element of its layout), created on demand.
QCPTextElement* chartTitle(QCustomPlot* chart);

// The save dialog's file types and the default name and suffix.
QString chartFileFilter();
inline constexpr const char* kDefaultChartFile = "spectrum.wmf";

// Writes the whole chart at its on-screen size; the file type follows the suffix
// (".png", ".svg", ".pdf"; anything else is a Windows metafile). Throws InputError with
// a clear message when the file cannot be written.
void saveChart(QCustomPlot* chart, const QString& fileName);
// The metafile alone, as bytes.
QByteArray chartMetafile(QCustomPlot* chart);

// Prints the chart on one landscape page with margins of 10 % left and right and 5 % top
// and bottom; the printer's orientation is restored afterwards.
void printChart(QCustomPlot* chart, QPrinter& printer);

// Runs the text entry dialog; true with the entered text when the user accepted it.
bool enterTitle(AppContext& ctx, QString& text);

// QCustomPlot computes freely in floating point while it draws (logarithms of clipped
// values and the like); those faults belong to the drawing, not to the user's action:
// they are dropped, and the flags are left as they were before the drawing.
template <class F>
void drawQuietly(F&& draw);

}  // namespace lumerad

#include "core/numerics/errors.h"

template <class F>
void lumerad::drawQuietly(F&& draw) {
    FloatFlagsKept keep;
    draw();
}
