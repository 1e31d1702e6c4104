#include "windows/plot/line_graph_window.h"

#include <qcustomplot.h>

#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialogs.h"
#include "windows/plot/chart_support.h"

namespace lumerad {

namespace {

const QColor kNavy(0, 0, 128);

QFont timesBold(int pixels) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

constexpr double kDesignMaximum = 1072;
constexpr double kBarShare = 0.15;  // bar width as a share of the space of one bar

}  // namespace

TfLineGraph::TfLineGraph(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfLineGraph", QStringLiteral("fLineGraph"), parent) {
    resize(920, 525);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);

    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    main->setMenuBar(bar);
    auto addAction = [this](QMenu* menu, const char* name, const QString& caption,
                            void (TfLineGraph::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connectAction(a, &QAction::triggered, [this, handler] { (this->*handler)(); });
    };
    QMenu* printMenu = bar->addMenu(QStringLiteral("print chart"));
    printMenu->setObjectName(QStringLiteral("printchart1"));
    addAction(printMenu, "saveasmetafile1", QStringLiteral("save as metafile"),
              &TfLineGraph::saveasmetafile1Click);
    addAction(printMenu, "plot1", QStringLiteral("plot chart"), &TfLineGraph::plot1Click);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { plot1Click(); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveasmetafile1Click(); });
    QMenu* titles = bar->addMenu(QStringLiteral("add Titles"));
    titles->setObjectName(QStringLiteral("addTitles1"));
    addAction(titles, "MainTitle1", QStringLiteral("Main Title"), &TfLineGraph::MainTitle1Click);
    addAction(titles, "leftaxistitle1", QStringLiteral("left axis title"), &TfLineGraph::leftaxistitle1Click);
    addAction(titles, "bottomaxistitle1", QStringLiteral("bottom axis title"),
              &TfLineGraph::bottomaxistitle1Click);

    chart_ = new QuietPlot(this);
    chart_->setObjectName(QStringLiteral("LineChart"));
    chart_->resize(737, 377);
    QLinearGradient wash(0, 0, 0, 400);
    wash.setColorAt(0, Qt::yellow);
    wash.setColorAt(1, QColor(255, 255, 224));
    chart_->setBackground(QBrush(wash));
    chart_->axisRect()->setBackground(Qt::NoBrush);
    chart_->legend->setVisible(false);
    QCPTextElement* title = chartTitle(chart_);
    title->setText(QStringLiteral("TChart"));
    title->setFont(timesBold(16));
    title->setTextColor(kNavy);

    tickerX_.reset(new PictureTicker);
    tickerX_->format = "#,###";
    tickerX_->subTicks = 4;
    tickerY_.reset(new PictureTicker);
    tickerY_->format = "0.#E+00";
    tickerY_->subTicks = 4;
    chart_->xAxis->setTicker(tickerX_);
    chart_->yAxis->setTicker(tickerY_);
    chart_->xAxis->setLabel(QStringLiteral("photon energy (eV)"));
    chart_->yAxis->setLabel(QStringLiteral("photon flux"));
    for (QCPAxis* axis : {chart_->xAxis, chart_->yAxis}) {
        axis->setTickLabelFont(timesBold(12));
        axis->setTickLabelColor(kNavy);
        axis->setLabelFont(timesBold(14));
        axis->setLabelColor(kNavy);
        axis->setTickPen(QPen(kNavy));
        axis->setSubTickPen(QPen(kNavy));
        axis->grid()->setPen(QPen(Qt::white));
    }
    chart_->yAxis->setTickLength(3, 0);
    chart_->yAxis->setRange(0, kDesignMaximum);
    chart_->axisRect()->setMinimumMargins(QMargins(50, 10, 20, 10));

    series1_ = new QCPBars(chart_->xAxis, chart_->yAxis);
    series1_->setName(QStringLiteral("Series1"));
    series1_->setPen(Qt::NoPen);
    series1_->setBrush(curvePen(curveStyle(kRedCurve, 0)).color());
    series1_->setWidthType(QCPBars::wtAxisRectRatio);
    series1_->setWidth(kBarShare);
    main->addWidget(chart_, 1);
}

TfLineGraph::~TfLineGraph() = default;

void TfLineGraph::replotLater() { chart_->replot(QCustomPlot::rpQueuedReplot); }

void TfLineGraph::New(const QString& caption) {
    chart_->yAxis->setLabel(caption);
    chartTitle(chart_)->setText(QStringLiteral("Undulator line spectrum"));
    series1_->data()->clear();
    replotLater();
}

void TfLineGraph::XY(double x, double y) {
    series1_->addData(x, y);  // kept in ascending order of x
    replotLater();
}

void TfLineGraph::Axis() {
    double top = 0;
    bool any = false;
    for (const QCPBarsData& d : *series1_->data()) {
        top = any ? std::max(top, d.value) : d.value;
        any = true;
    }
    if (any && top > 0) chart_->yAxis->setRange(0, 1.1 * top);
    // the bottom axis follows the bars, half a slot beyond the outermost ones
    const int n = series1_->data()->size();
    if (n > 0) {
        const double lo = series1_->data()->constBegin()->key;
        const double hi = (series1_->data()->constEnd() - 1)->key;
        const double slot = n > 1 ? (hi - lo) / (n - 1) : std::max(1.0, hi);
        chart_->xAxis->setRange(lo - slot / 2, hi + slot / 2);
        series1_->setWidth(kBarShare / std::max(1, n));
    }
    replotLater();
}

void TfLineGraph::MainTitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chartTitle(chart_)->setText(t);
    replotLater();
}

void TfLineGraph::leftaxistitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chart_->yAxis->setLabel(t);
    replotLater();
}

void TfLineGraph::bottomaxistitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chart_->xAxis->setLabel(t);
    replotLater();
}

void TfLineGraph::saveasmetafile1Click() {
    const QString name = ctx_.dialogs.saveFileName(this, QStringLiteral("save as metafile"),
                                                   QString::fromLatin1(kDefaultChartFile), chartFileFilter(),
                                                   QStringLiteral("wmf"));
    if (name.isEmpty()) return;
    saveChart(chart_, name);
}

void TfLineGraph::plot1Click() {
    if (!ctx_.dialogs.print(this, printer_)) return;
    printChart(chart_, printer_);
}

}  // namespace lumerad
