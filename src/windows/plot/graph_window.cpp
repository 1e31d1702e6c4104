#include "windows/plot/graph_window.h"

#include <qcustomplot.h>

#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "ui/dialogs.h"
#include "ui/form_builder.h"
#include "ui/texts.h"
#include "windows/plot/chart_support.h"

namespace lumerad {

namespace {

const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);

QFont timesBold(int pixels) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

constexpr int kInfoPanelWidth = 337;  // design size of the curve information panel
constexpr int kInfoPanelHeight = 289;

// A group box is at least as wide as its caption, so a long axis caption would widen the
// window beyond the screen: the boxes get a width of their own, and the caption is shortened
// to the box when it is longer (the whole of it in the tool tip).
const char* const kFullCaption = "fullCaption";
constexpr int kGroupMinWidth = 250;

void fitGroupTitle(QGroupBox* box) {
    const QString full = box->property(kFullCaption).toString();
    box->ensurePolished();
    const int space = box->width() - 28;  // the caption's indent and padding
    const QString shown =
        box->isVisible() && space > 0 ? box->fontMetrics().elidedText(full, Qt::ElideRight, space) : full;
    if (box->title() != shown) box->setTitle(shown);
    box->setToolTip(shown == full ? QString() : full);
}

void setGroupTitle(QGroupBox* box, const QString& title) {
    box->setProperty(kFullCaption, title);
    fitGroupTitle(box);
}

}  // namespace

TfGraphs::TfGraphs(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfGraphs", QStringLiteral("Graphs"), parent) {
    resize(981, 658);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMaroon);
    setPalette(pal);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(6, 0, 6, 6);

    // menus
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setAutoFillBackground(true);
    main->setMenuBar(bar);
    auto addAction = [this](QMenu* menu, const char* name, const QString& caption,
                            void (TfGraphs::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connectAction(a, &QAction::triggered, [this, handler] { (this->*handler)(); });
    };
    QMenu* printMenu = bar->addMenu(QStringLiteral("print graph"));
    printMenu->setObjectName(QStringLiteral("printgraph1"));
    addAction(printMenu, "saveasmetafile1", QStringLiteral("save as metafile"),
              &TfGraphs::saveasmetafile1Click);
    addAction(printMenu, "plotgraph1", QStringLiteral("plot graph"), &TfGraphs::plotgraph1Click);
    addAction(printMenu, "copydata1", QStringLiteral("copy data"), &TfGraphs::copydata1Click);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { plotgraph1Click(); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveasmetafile1Click(); });
    QMenu* titles = bar->addMenu(QStringLiteral("Titles"));
    titles->setObjectName(QStringLiteral("Titles1"));
    addAction(titles, "MainTitle1", QStringLiteral("Main Title"), &TfGraphs::MainTitle1Click);
    addAction(titles, "leftaxistitle1", QStringLiteral("left axis title"), &TfGraphs::leftaxistitle1Click);
    addAction(titles, "bottomaxixtitle1", QStringLiteral("bottom axis title"),
              &TfGraphs::bottomaxixtitle1Click);

    // chart
    chart_ = new QuietPlot(this);
    chart_->setObjectName(QStringLiteral("Chart"));
    chart_->setMinimumSize(400, 250);
    chart_->resize(969, 527);
    chart_->setPlottingHint(QCP::phFastPolylines, true);
    chart_->setNotAntialiasedElements(QCP::aePlottables);
    chart_->setBackground(QColor(240, 240, 240));
    chart_->axisRect()->setBackground(Qt::white);
    QCPTextElement* title = chartTitle(chart_);
    title->setText(QStringLiteral("graph"));
    title->setFont(timesBold(19));
    title->setTextColor(kNavy);
    chart_->legend->setVisible(false);
    linTickerX_.reset(new PictureTicker);
    linTickerY_.reset(new PictureTicker);
    logTickerX_.reset(new LogTableTicker);
    logTickerY_.reset(new LogTableTicker);
    linTickerX_->subTicks = 3;
    linTickerY_->subTicks = 4;
    for (QCPAxis* axis : {chart_->xAxis, chart_->yAxis}) {
        axis->setLabelFont(timesBold(16));
        axis->setLabelColor(kNavy);
        axis->setTickLabelFont(timesBold(12));
        axis->setTickLabelColor(kMaroon);
    }
    chart_->xAxis->setTicker(linTickerX_);
    chart_->yAxis->setTicker(linTickerY_);
    chart_->xAxis->setLabel(QStringLiteral("x"));
    chart_->yAxis->setLabel(QStringLiteral("y"));
    chart_->axisRect()->setMinimumMargins(QMargins(50, 10, 20, 10));
    connectAction(chart_, &QCustomPlot::plottableClick,
                  [this](QCPAbstractPlottable* p, int, QMouseEvent*) { ChartClickSeries(p); });
    main->addWidget(chart_, 1);

    // curve information panel over the chart
    lbCurvInfo_ = new QListWidget(chart_);
    lbCurvInfo_->setObjectName(QStringLiteral("lbCurvInfo"));
    lbCurvInfo_->setGeometry(60, 40, kInfoPanelWidth, kInfoPanelHeight);
    lbCurvInfo_->setFrameShape(QFrame::NoFrame);
    lbCurvInfo_->setTextElideMode(Qt::ElideNone);  // a parameter is never shown cut short
    lbCurvInfo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lbCurvInfo_->setStyleSheet(QStringLiteral(
        "QListWidget { background: teal; color: yellow; font-family: 'Courier New'; font-weight: bold;"
        " font-size: 15px; } QListWidget::item { height: 17px; }"));
    lbCurvInfo_->hide();
    connectAction(lbCurvInfo_, &QListWidget::itemClicked,
                  [this](QListWidgetItem* item) { lbCurvInfoClick(lbCurvInfo_->row(item)); });
    connectAction(lbCurvInfo_, &QListWidget::itemDoubleClicked, [this] { lbCurvInfoDblClick(); });

    // axis groups
    const QString groupStyle = QStringLiteral(
        "QGroupBox { background: #ffffe0; color: #800000; font-family: 'Times New Roman'; font-weight: bold;"
        " font-size: 19px; border: 1px solid #808080; margin-top: 24px; padding-top: 4px; }"
        " QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px;"
        " padding: 0 4px; background: #ffffe0; }"
        " QLineEdit { border: none; background: silver; color: navy; font-family: 'Times New Roman';"
        " font-weight: bold; font-size: 17px; }"
        " QLabel, QRadioButton { color: #800000; font-size: 15px; }");
    auto axisGroup = [&](const char* name, const QString& caption, const char* lin, const char* log,
                         const QString& minLabel, const QString& maxLabel, const QString& incLabel,
                         const char* minName, const char* maxName, const char* incName, QRadioButton*& rbLin,
                         QRadioButton*& rbLog, QLineEdit*& eMin, QLineEdit*& eMax, QLineEdit*& eInc) {
        QGroupBox* g = form::group(this, caption, name);
        g->setStyleSheet(groupStyle);
        auto* grid = new QGridLayout(g);
        rbLin = form::radio(g, lin, QStringLiteral("linear"), true);
        rbLog = form::radio(g, log, QStringLiteral("log"), false);
        grid->addWidget(rbLin, 0, 0);
        grid->addWidget(rbLog, 0, 1);
        grid->addWidget(form::label(g, minLabel), 1, 0);
        grid->addWidget(form::label(g, maxLabel), 1, 1);
        grid->addWidget(form::label(g, incLabel), 1, 2);
        eMin = form::edit(g, minName, QStringLiteral("0"));
        eMax = form::edit(g, maxName, QStringLiteral("1"));
        eInc = form::edit(g, incName, QStringLiteral("1.0"));
        grid->addWidget(eMin, 2, 0);
        grid->addWidget(eMax, 2, 1);
        grid->addWidget(eInc, 2, 2);
        return g;
    };
    gbXAxis_ = axisGroup("gbXAxis", QStringLiteral("x-axis, wavenumber"), "rbXLin", "RBxLog",
                         QStringLiteral("x_min"), QStringLiteral("x_max"), QStringLiteral("delta_x"), "Exmin",
                         "Exmax", "edIncrx", rbXLin_, rbXLog_, exmin_, exmax_, edIncrx_);
    gbYAxis_ = axisGroup("gbYAxis", QStringLiteral("y-axis, formfactor"), "rbYLin", "RByLog",
                         QStringLiteral("y_min"), QStringLiteral("y_max"), QStringLiteral("delta_y"), "Eymin",
                         "Eymax", "edIncry", rbYLin_, rbYLog_, eymin_, eymax_, edIncry_);

    // buttons with the glyph above the caption
    auto glyphButton = [&](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumSize(80, 64);
        b->setAutoFillBackground(true);
        return b;
    };
    QToolButton* ok = glyphButton("OkButton", QStringLiteral("&update"), QStyle::SP_BrowserReload);
    QToolButton* def = glyphButton("bbDefault", QStringLiteral("&default"), QStyle::SP_DialogResetButton);
    QToolButton* close = glyphButton("bbClose", QStringLiteral("&close"), QStyle::SP_DialogCloseButton);
    connectAction(ok, &QToolButton::clicked, [this] { OkButClick(); });
    connectAction(def, &QToolButton::clicked, [this] { bbDefaultClick(); });
    connectAction(close, &QToolButton::clicked, [this] { bbCloseClick(); });

    for (QGroupBox* box : {gbXAxis_, gbYAxis_}) {
        box->setMinimumWidth(kGroupMinWidth);
        box->setProperty(kFullCaption, box->title());
        box->installEventFilter(this);
    }
    chart_->installEventFilter(this);
    auto* row = new QHBoxLayout;
    row->addWidget(gbXAxis_, 1);
    row->addWidget(gbYAxis_, 1);
    row->addWidget(ok);
    row->addWidget(def);
    row->addWidget(close);
    main->addLayout(row);

    FormCreate();
}

TfGraphs::~TfGraphs() = default;

bool TfGraphs::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::Resize || e->type() == QEvent::Show) &&
        (watched == gbXAxis_ || watched == gbYAxis_))
        fitGroupTitle(static_cast<QGroupBox*>(watched));
    if (e->type() == QEvent::Resize && watched == chart_ && lbCurvInfo_->isVisible()) fitCurvInfoPanel();
    return ToolWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- operations

void TfGraphs::NewGraph(const QString& title) {
    chartTitle(chart_)->setText(title);
    for (QCPAxis* axis : {chart_->xAxis, chart_->yAxis}) axis->setScaleType(QCPAxis::stLinear);
    chart_->xAxis->setTicker(linTickerX_);
    chart_->yAxis->setTicker(linTickerY_);
    for (int i = 0; i < kCurveSlots; ++i) dropSeries(i);
    chart_->clearGraphs();
    model_.newGraph();
    closeCurvInfo();
    replotLater();
}

void TfGraphs::addGraph() { model_.addGraph(); }

void TfGraphs::replaceGraph() { model_.replaceGraph(); }

void TfGraphs::NewCurve() {
    std::vector<int> removed;
    const int index = model_.newCurve(&removed);  // throws before anything changes
    for (int i : removed) dropSeries(i);
    dropSeries(index);
    openSeries(index);
    owners_[index].clear();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::red);
    setPalette(pal);
    closeCurvInfo();
    replotLater();
}

void TfGraphs::setTitle(const QString& title) {
    chartTitle(chart_)->setText(title);
    replotLater();
}

void TfGraphs::setCurveOwner(const QString& owner) { owners_[model_.CurrentCurve] = owner; }

void TfGraphs::deleteCurvesOf(const QString& owner) {
    for (int i : model_.shownCurves()) {
        if (owners_[i] != owner) continue;
        if (i == model_.ClickedCurve) closeCurvInfo();
        dropSeries(i);
        model_.deleteCurve(i);
        owners_[i].clear();
    }
    replotLater();
}

int TfGraphs::CurveCount() const { return chart_->graphCount(); }

void TfGraphs::LoadData(int colour, double x, double y) {
    const int index = model_.CurrentCurve;
    QCPGraph* g = CurveSeries[index];
    if (!g || !model_.shown(index)) {  // no curve opened yet: the current index becomes one
        dropSeries(index);
        g = openSeries(index);
    }
    const bool extremesMoved = model_.loadData(x, y);
    g->data()->add(QCPGraphData(x, y));
    if (model_.setColour(colour)) g->setPen(curvePen(*model_.style(index)));
    // Every point shows the running extremes in the range fields; they are rewritten only
    // when they would read differently (an extreme moved, or Update wrote its own texts).
    if (!model_.UserAxes && (extremesMoved || !fieldsShowExtremes_)) writeExtremeFields();
    replotLater();
}

void TfGraphs::XAxis(const QString& caption) {
    chart_->xAxis->setLabel(caption);
    setGroupTitle(gbXAxis_, QStringLiteral("x-axis, ") + caption);
    replotLater();
}

void TfGraphs::YAxis(const QString& caption) {
    chart_->yAxis->setLabel(caption);
    setGroupTitle(gbYAxis_, QStringLiteral("y-axis, ") + caption);
    replotLater();
}

void TfGraphs::addInfo(int i, const QString& text) { model_.addInfo(i, text.toStdString()); }

QString TfGraphs::f42f(double x) { return qs(pattern("%4.2f", x)); }
QString TfGraphs::f52g(double x) { return qs(pattern("%5.2g", x)); }

QCPGraph* TfGraphs::openSeries(int index) {
    QCPGraph* g = chart_->addGraph(chart_->xAxis, chart_->yAxis);
    g->setName(qs(std::to_string(index)));
    g->setPen(curvePen(curveStyle(kRedCurve, 0)));
    g->setAdaptiveSampling(true);
    CurveSeries[index] = g;
    return g;
}

void TfGraphs::dropSeries(int index) {
    if (QCPGraph* g = CurveSeries[index]) {
        chart_->removeGraph(g);
        CurveSeries[index] = nullptr;
    }
}

void TfGraphs::writeExtremeFields() {
    exmin_->setText(f42f(model_.DataXMin));
    exmax_->setText(f42f(model_.DataXMax));
    eymin_->setText(f52g(model_.DataYMin));
    eymax_->setText(f52g(model_.DataYMax));
    fieldsShowExtremes_ = true;
}

void TfGraphs::replotLater() { chart_->replot(QCustomPlot::rpQueuedReplot); }

// ---------------------------------------------------------------- axes

void TfGraphs::applyAxis(bool bottom, const AxisPlan& plan, const LogLabelTable& table) {
    QCPAxis* axis = bottom ? chart_->xAxis : chart_->yAxis;
    if (plan.log) {
        LogTableTicker* t = bottom ? logTickerX_.data() : logTickerY_.data();
        t->table = table;
        t->format = plan.format;
        axis->setScaleType(QCPAxis::stLogarithmic);
        axis->setTicker(bottom ? logTickerX_ : logTickerY_);
    } else {
        PictureTicker* t = bottom ? linTickerX_.data() : linTickerY_.data();
        t->format = plan.format;
        t->increment = plan.increment;
        axis->setScaleType(QCPAxis::stLinear);
        axis->setTicker(bottom ? linTickerX_ : linTickerY_);
    }
    // A range without width (no data yet, or equal bounds) leaves the axis where it was.
    const double lo = std::min(plan.lo, plan.hi), hi = std::max(plan.lo, plan.hi);
    if (hi > lo && (!plan.log || lo > 0)) axis->setRange(lo, hi);
}

void TfGraphs::Update() {
    RangeFields fields;
    const RangeFields* typed = nullptr;
    if (model_.UserAxes) {
        fields = {fieldText(exmin_), fieldText(exmax_), fieldText(edIncrx_),
                  fieldText(eymin_), fieldText(eymax_), fieldText(edIncry_)};
        typed = &fields;
    }
    // Every conversion and check happens here; nothing on the chart has changed yet.
    const UpdatePlan plan =
        calculated([&] { return model_.planUpdate(rbXLog_->isChecked(), rbYLog_->isChecked(), typed); });
    model_.commit(plan);
    drawQuietly([&] {
        applyAxis(false, plan.y, model_.LogLabelsY);
        applyAxis(true, plan.x, model_.LogLabelsX);
    });
    exmin_->setText(qs(plan.exmin));
    exmax_->setText(qs(plan.exmax));
    eymin_->setText(qs(plan.eymin));
    eymax_->setText(qs(plan.eymax));
    fieldsShowExtremes_ = false;
    replotLater();
}

// ---------------------------------------------------------------- events

void TfGraphs::FormCreate() { model_.UserAxes = false; }

void TfGraphs::formShow() {
    // With typed ranges the axes keep them; QCustomPlot never rescales by itself, so
    // there is nothing to switch off.
}

void TfGraphs::formActivate() { Update(); }

void TfGraphs::showCurves() {
    showTool();
    act([this] { Update(); });
}

void TfGraphs::OkButClick() {
    model_.UserAxes = true;
    Update();
}

void TfGraphs::bbDefaultClick() {
    model_.UserAxes = false;
    Update();
}

void TfGraphs::bbCloseClick() {
    lbCurvInfo_->hide();
    hide();
}

void TfGraphs::closeEvent(QCloseEvent* e) {
    lbCurvInfo_->hide();
    ToolWindow::closeEvent(e);
}

void TfGraphs::ChartClickSeries(QCPAbstractPlottable* series) {
    if (!series) return;
    bool ok = false;
    const int index = series->name().toInt(&ok);
    if (!ok) return;
    model_.ClickedCurve = index;
    lbCurvInfo_->clear();
    const auto style = model_.style(index);
    for (const std::string& item : model_.infoPanelItems(index)) {
        auto* row = new QListWidgetItem(qs(item), lbCurvInfo_);
        // the style line carries a sample of the line as it is drawn
        if (style && item.rfind(GraphModel::kStylePrefix, 0) == 0) row->setIcon(curveSample(*style, kTeal));
    }
    fitCurvInfoPanel();
    lbCurvInfo_->show();
    lbCurvInfo_->raise();
}

void TfGraphs::fitCurvInfoPanel() {
    // At least the design size; wider and taller when the lines need it (a long source name,
    // sixteen parameter lines), so that no parameter is cut off, but never beyond the chart:
    // on a small chart the panel scrolls rather than losing its lower lines under the edge.
    lbCurvInfo_->ensurePolished();
    const int frame = 2 * lbCurvInfo_->frameWidth();
    int width = kInfoPanelWidth;
    int height = kInfoPanelHeight;
    if (lbCurvInfo_->count() > 0) {
        width = std::max(width, lbCurvInfo_->sizeHintForColumn(0) + frame + 8);
        height = std::max(height, lbCurvInfo_->count() * lbCurvInfo_->sizeHintForRow(0) + frame + 4);
    }
    const QPoint at = lbCurvInfo_->pos();
    width = std::min(width, std::max(120, chart_->width() - at.x() - 4));
    height = std::min(height, std::max(60, chart_->height() - at.y() - 4));
    lbCurvInfo_->resize(width, height);
}

void TfGraphs::lbCurvInfoClick(int item) {
    if (item == GraphModel::kCloseItem) {
        lbCurvInfo_->hide();
    } else if (item == GraphModel::kDeleteItem) {
        const int index = model_.ClickedCurve;
        if (!model_.shown(index)) {  // the curve went meanwhile
            closeCurvInfo();
            return;
        }
        if (!ctx_.messages.question("really delete curve?")) return;
        dropSeries(index);
        model_.deleteCurve(index);
        closeCurvInfo();  // its lines would be stale, and a second click would hit nothing
        replotLater();
    }
}

void TfGraphs::closeCurvInfo() {
    lbCurvInfo_->clear();
    lbCurvInfo_->hide();
    model_.ClickedCurve = -1;
}

void TfGraphs::lbCurvInfoDblClick() { lbCurvInfo_->hide(); }

void TfGraphs::saveasmetafile1Click() {
    const QString name = ctx_.dialogs.saveFileName(this, QStringLiteral("save as metafile"),
                                                   QString::fromLatin1(kDefaultChartFile), chartFileFilter(),
                                                   QStringLiteral("wmf"));
    if (name.isEmpty()) return;
    saveChart(chart_, name);
}

void TfGraphs::plotgraph1Click() {
    if (!ctx_.dialogs.print(this, printer_)) return;
    printChart(chart_, printer_);
}

QString TfGraphs::curveDataText() const {
    QString out;
    for (int index : model_.shownCurves()) {
        QString head = QStringLiteral("curve ") + qs(patternInt("%d", index));
        for (int line = 0; line < kInfoLines; ++line) {
            const std::string& s = model_.info(index, line);
            if (!s.empty()) head += QLatin1Char('\t') + qs(s);
        }
        out += head + QLatin1Char('\n');
        out += QuietPlot::axisTitle(chart_->xAxis) + QLatin1Char('\t') + QuietPlot::axisTitle(chart_->yAxis) +
               QLatin1Char('\n');
        for (const CurvePoint& p : model_.points(index)) {
            out += qs(general(p.x, 15)) + QLatin1Char('\t') + qs(general(p.y, 15)) + QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out;
}

void TfGraphs::copydata1Click() {
    if (model_.curveCount() == 0) {
        ctx_.messages.info("The graph holds no curves to copy.");
        return;
    }
    QGuiApplication::clipboard()->setText(curveDataText());
}

void TfGraphs::MainTitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chartTitle(chart_)->setText(t);
    replotLater();
}

void TfGraphs::leftaxistitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chart_->yAxis->setLabel(t);
    replotLater();
}

void TfGraphs::bottomaxixtitle1Click() {
    QString t;
    if (!enterTitle(ctx_, t)) return;
    chart_->xAxis->setLabel(t);
    replotLater();
}

}  // namespace lumerad
