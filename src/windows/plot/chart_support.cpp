#include "windows/plot/chart_support.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QSvgGenerator>
#include <cmath>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "ui/dialogs.h"
#include "windows/plot/enter_text_window.h"
#include "windows/plot/wmf_writer.h"

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

namespace {

const char* const kFullTitle = "lumeradFullTitle";
const char* const kShownTitle = "lumeradShownTitle";

// The title in at most two lines of at most `width` pixels: as it is when it fits, else
// broken at the space that gives the shorter longer line, else each line elided.
QString fittedTitle(const QString& title, const QFontMetrics& fm, int width) {
    if (width <= 0 || fm.horizontalAdvance(title) <= width) return title;
    QString best;
    int bestWidth = 0;
    for (int at = title.indexOf(QLatin1Char(' ')); at > 0; at = title.indexOf(QLatin1Char(' '), at + 1)) {
        const QString a = title.left(at).trimmed(), b = title.mid(at + 1).trimmed();
        if (a.isEmpty() || b.isEmpty()) continue;
        const int w = std::max(fm.horizontalAdvance(a), fm.horizontalAdvance(b));
        if (best.isEmpty() || w < bestWidth) {
            best = a + QLatin1Char('\n') + b;
            bestWidth = w;
        }
    }
    if (best.isEmpty()) best = title;
    QStringList lines = best.split(QLatin1Char('\n'));
    for (QString& line : lines) line = fm.elidedText(line, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString QuietPlot::axisTitle(const QCPAxis* axis) {
    const QVariant shown = axis->property(kShownTitle);
    if (shown.isValid() && shown.toString() == axis->label()) return axis->property(kFullTitle).toString();
    return axis->label();
}

bool QuietPlot::fitAxisTitle(QCPAxis* axis) {
    if (!axis->visible() || axis->label().isEmpty()) return false;
    const QString full = axisTitle(axis);
    // The title is centred on its axis; it may reach into the margins, not past the widget.
    const QRect area = axis->axisRect()->rect();
    const QRect all = viewport();
    const bool across = axis->orientation() == Qt::Horizontal;
    const int centre = across ? area.center().x() : area.center().y();
    const int first = across ? all.left() : all.top();
    const int last = across ? all.right() : all.bottom();
    const int space = 2 * std::min(centre - first, last - centre) - 4;
    const QString shown = fittedTitle(full, QFontMetrics(axis->labelFont()), space);
    axis->setProperty(kFullTitle, full);
    axis->setProperty(kShownTitle, shown);
    if (shown == axis->label()) return false;
    axis->setLabel(shown);
    return true;
}

QMargins QuietPlot::tickLabelOverhang() const {
    // How far the outermost tick labels reach past the widget, on each side.
    QMargins out;
    const QRect all = viewport().adjusted(1, 1, -1, -1);
    for (QCPAxis* axis : axisRect()->axes()) {
        if (!axis->visible() || !axis->tickLabels()) continue;
        const QFontMetrics fm(axis->tickLabelFont());
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        for (int i = 0; i < ticks.size() && i < labels.size(); ++i) {
            if (labels[i].isEmpty()) continue;
            const double at = axis->coordToPixel(ticks[i]);
            const QRect box = fm.boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignCenter, labels[i]);
            if (axis->orientation() == Qt::Horizontal) {
                out.setLeft(std::max(out.left(), all.left() - int(std::floor(at - box.width() / 2.0))));
                out.setRight(std::max(out.right(), int(std::ceil(at + box.width() / 2.0)) - all.right()));
            } else {
                out.setTop(std::max(out.top(), all.top() - int(std::floor(at - box.height() / 2.0))));
                out.setBottom(std::max(out.bottom(), int(std::ceil(at + box.height() / 2.0)) - all.bottom()));
            }
        }
    }
    return out;
}

void QuietPlot::updateLayout() {
    QCPAxisRect* rect = axisRect();
    if (!rect) return QCustomPlot::updateLayout();
    if (!baseMargins_) baseMargins_ = rect->minimumMargins();
    rect->setMinimumMargins(*baseMargins_);
    // Each pass lays the chart out, then shortens titles and widens margins where something
    // sticks out; moving the axis rectangle moves the labels, hence a few passes.
    for (int pass = 0;; ++pass) {
        QCustomPlot::updateLayout();
        if (pass == 3) break;
        bool changed = false;
        for (QCPAxis* axis : rect->axes()) changed = fitAxisTitle(axis) || changed;
        const QMargins over = tickLabelOverhang();
        if (!over.isNull()) {
            const QMargins now = rect->margins();
            const QMargins min = rect->minimumMargins();
            rect->setMinimumMargins(QMargins(std::max(min.left(), now.left() + over.left()),
                                             std::max(min.top(), now.top() + over.top()),
                                             std::max(min.right(), now.right() + over.right()),
                                             std::max(min.bottom(), now.bottom() + over.bottom())));
            changed = true;
        }
        if (!changed) break;
    }
}

double PictureTicker::getTickStep(const QCPRange& range) {
    // The increment is taken as it is when it gives two to twice the usual number of labels;
    // a tiny one (the automatic ranges give a ten-thousandth of the span) or one wider than
    // half the range (the field's default of 1 on a range of a thousandth) yields to a
    // readable step.
    if (increment > 0 && range.size() / increment <= 2.0 * tickCount() && range.size() / increment >= 2)
        return increment;
    const double step = QCPAxisTicker::getTickStep(range);
    // Steps of 2.5 x 10^k put ticks at 1.25, 3.75, ... which the two-digit exponent picture
    // would show rounded: 1-2-5 steps keep every label exact.
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    if (std::fabs(step / decade - 2.5) < 1e-9) return 2 * decade;
    return step;
}

int PictureTicker::getSubTickCount(double) { return subTicks; }

std::string PictureTicker::label(double tick) const {
    // a tick computed as n * step can miss zero by a rounding error
    if (std::fabs(tick) < 1e-6 * step_) tick = 0;
    return picture(picture_, tick);
}

QVector<double> PictureTicker::createTickVector(double tickStep, const QCPRange& range) {
    step_ = tickStep;
    picture_ = tickPicture(format, tickStep, range.lower, range.upper);
    QVector<double> ticks = QCPAxisTicker::createTickVector(tickStep, range);
    // Where the digits of a double run out (a range narrower than 1e-15 of its values)
    // neighbours can still read alike: only the first of them is labelled.
    QVector<double> kept;
    std::string last;
    for (double t : ticks) {
        std::string text = label(t);
        if (!kept.isEmpty() && text == last) continue;
        kept.push_back(t);
        last = std::move(text);
    }
    return kept;
}

QString PictureTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return QString::fromStdString(label(tick));
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

QPen curvePen(const CurveStyle& style) {
    static const Qt::PenStyle dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    const int c = style.rgb();
    QPen pen(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), style.width);
    pen.setStyle(dashes[static_cast<int>(style.dash)]);
    return pen;
}

QIcon curveSample(const CurveStyle& style, const QColor& background) {
    QPixmap sample(40, 12);
    sample.fill(background);
    QPainter p(&sample);
    p.setPen(curvePen(style));
    p.drawLine(0, 6, 40, 6);
    p.end();
    return QIcon(sample);
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
    TfEnterText* dialog = ctx.windowAs<TfEnterText>(WindowId::EnterText);
    if (!dialog) return false;
    dialog->prepare();
    if (!ctx.dialogs.runModal(*dialog)) return false;
    text = dialog->EnteredText;
    return true;
}

}  // namespace lumerad
