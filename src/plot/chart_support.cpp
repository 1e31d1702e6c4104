#include "plot/chart_support.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QSvgGenerator>
#include <cmath>

#include "ui/dialogs.h"
#include "numerics/errors.h"
#include "numerics/number_text.h"
#include "plot/enter_text_window.h"
#include "plot/wmf_writer.h"

namespace lumerad {

QuietPlot::QuietPlot(QWidget* parent) : QCustomPlot(parent) {
    // A queued replot runs from a timer, outside any event of this widget: the replot
    // signals bracket it. QCustomPlot never nests replots, so one saved state suffices.
    connect(this, &QCustomPlot::beforeReplot, this,
            [this] { std::fegetexceptflag(&beforeReplot_, FE_ALL_EXCEPT); });
    connect(this, &QCustomPlot::afterReplot, this,
            [this] { std::fesetexceptflag(&beforeReplot_, FE_ALL_EXCEPT); });
}

bool QuietPlot::event(QEvent* e) {
    FloatFlagsKept keep;
    return QCustomPlot::event(e);
}

double PictureTicker::getTickStep(const QCPRange& range) {
    // The increment is taken as it is when it leaves room for the labels; a tiny one (the
    // automatic ranges give a ten-thousandth of the span) yields to a readable step.
    if (increment > 0 && range.size() / increment <= 2.0 * tickCount()) return increment;
    const double step = QCPAxisTicker::getTickStep(range);
    // Steps of 2.5 x 10^k put ticks at 1.25, 3.75, ... which the two-digit exponent picture
    // would show rounded: 1-2-5 steps keep every label exact.
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    if (std::fabs(step / decade - 2.5) < 1e-9) return 2 * decade;
    return step;
}

int PictureTicker::getSubTickCount(double) { return subTicks; }

QString PictureTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    // a tick computed as n * step can miss zero by a rounding error
    if (std::fabs(tick) < 1e-12 * std::max(1.0, increment)) tick = 0;
    return QString::fromStdString(picture(format, tick));
}

QVector<double> LogTableTicker::createTickVector(double, const QCPRange& range) {
    const std::vector<double> labels = logAxisLabels(table, range.lower, range.upper);
    return QVector<double>(labels.begin(), labels.end());
}

QVector<double> LogTableTicker::createSubTickVector(int, const QVector<double>&) { return {}; }

QString LogTableTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    std::string text = picture(format, tick);
    ChartGetAxisLabel(table, format, text);
    return QString::fromStdString(text);
}

QCPTextElement* chartTitle(QCustomPlot* chart) {
    QCPLayoutGrid* layout = chart->plotLayout();
    if (auto* t = qobject_cast<QCPTextElement*>(layout->element(0, 0))) return t;
    layout->insertRow(0);
    auto* title = new QCPTextElement(chart, QString());
    layout->addElement(0, 0, title);
    return title;
}

QString chartFileFilter() {
    return QStringLiteral(
        "Windows metafile (*.wmf);;PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

namespace {

[[noreturn]] void cannotWrite(const QString& fileName, const QString& why) {
    std::string text = "The chart could not be written to \"" + fileName.toStdString() + "\"";
    if (!why.isEmpty()) text += ": " + why.toStdString();
    throw InputError(text + ".");
}

QSize chartSize(QCustomPlot* chart) {
    const QSize s = chart->size();
    return QSize(std::max(s.width(), 100), std::max(s.height(), 100));
}

}  // namespace

QByteArray chartMetafile(QCustomPlot* chart) {
    const QSize size = chartSize(chart);
    WmfDevice device(size.width(), size.height());
    drawQuietly([&] {
        QCPPainter painter(&device);
        // vector output: polylines rather than segments, and text rather than cached pictures
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        chart->toPainter(&painter, size.width(), size.height());
        painter.end();
    });
    return device.data();
}

void saveChart(QCustomPlot* chart, const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QSize size = chartSize(chart);
    bool ok = true;
    QString why;
    if (suffix == QLatin1String("png")) {
        drawQuietly([&] { ok = chart->savePng(fileName, size.width(), size.height()); });
    } else if (suffix == QLatin1String("pdf")) {
        drawQuietly([&] { ok = chart->savePdf(fileName, size.width(), size.height()); });
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(fileName);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Lumerad chart"));
        drawQuietly([&] {
            QCPPainter painter;
            ok = painter.begin(&svg);
            if (ok) {
                painter.setMode(QCPPainter::pmVectorized);
                painter.setMode(QCPPainter::pmNoCaching);
                chart->toPainter(&painter, size.width(), size.height());
                painter.end();
            }
        });
        if (ok && !QFileInfo::exists(fileName)) ok = false;
    } else {
        const QByteArray bytes = chartMetafile(chart);
        QFile f(fileName);
        ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
        if (!ok) why = f.errorString();
    }
    if (!ok) cannotWrite(fileName, why);
}

void printChart(QCustomPlot* chart, QPrinter& printer) {
    const QPageLayout::Orientation before = printer.pageLayout().orientation();
    const bool fullPageBefore = printer.fullPage();
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    bool started = false;
    drawQuietly([&] {
        QCPPainter painter;
        started = painter.begin(&printer);
        if (started) {
            painter.setMode(QCPPainter::pmVectorized);
            painter.setMode(QCPPainter::pmNoCaching);
            const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
            // margins in percent of the page: left 10, top 5, right 10, bottom 5
            const QRectF area(page.width() * 0.10, page.height() * 0.05, page.width() * 0.80,
                              page.height() * 0.90);
            // the chart is laid out at screen resolution and scaled onto the page
            const double scale = printer.resolution() / 96.0;
            painter.translate(area.topLeft());
            painter.scale(scale, scale);
            chart->toPainter(&painter, int(area.width() / scale), int(area.height() / scale));
            painter.end();
        }
    });
    printer.setFullPage(fullPageBefore);
    printer.setPageOrientation(before);
    if (!started) throw InputError("The printer could not be started.");
}

bool enterTitle(AppContext& ctx, QString& text) {
    TfEnterText* dialog = ctx.windows.enterText;
    if (!dialog) return false;
    dialog->prepare();
    if (!ctx.dialogs.runModal(*dialog)) return false;
    text = dialog->EnteredText;
    return true;
}

}  // namespace lumerad
