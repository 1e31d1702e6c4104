#pragma once
// The shared graph window. Calculator windows open curves in it, fill them point by point,
// attach their parameter lines and name the axes; the user switches axes between linear
// and logarithmic, types ranges, reads or deletes a curve by clicking it, sets titles,
// saves, copies and prints the chart. The bookkeeping lives in GraphModel; QCustomPlot draws.
#include <QPrinter>
#include <QSharedPointer>
#include <QString>
#include <array>

#include "core/plot/graph_model.h"
#include "ui/tool_window.h"

class QCustomPlot;
class QCPGraph;
class QCPAbstractPlottable;
class QListWidget;
class QGroupBox;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QAction;

namespace lumerad {

class PictureTicker;
class LogTableTicker;

class TfGraphs : public ToolWindow {
    Q_OBJECT
public:
    explicit TfGraphs(AppContext& ctx, QWidget* parent = nullptr);
    ~TfGraphs() override;

    // --- operations for the calculator windows
    void NewGraph(const QString& title);
    void addGraph();
    void replaceGraph();
    // Opens a curve; throws InputError (shown by the action runner, which stops the
    // caller's action) when the chart already holds MaxCurvNum curves in add mode.
    void NewCurve();
    int CurveCount() const;
    static int MaxCurvNum() { return kMaxCurvNum; }
    // colour: 24-bit value, red in the low byte and blue in the third.
    void LoadData(int colour, double x, double y);
    void XAxis(const QString& caption);
    void YAxis(const QString& caption);
    void addInfo(int i, const QString& text);
    // The chart title as one line (the curves stay).
    void setTitle(const QString& title);
    // The window that made the current curve (its objectName), so that a calculator window can
    // take away its own curves and leave those of the others.
    void setCurveOwner(const QString& owner);
    void deleteCurvesOf(const QString& owner);
    // Shows the window with its axes fitted to the curves at once, also where the window
    // system does not activate it (activation fits them again).
    void showCurves();

    // The graph's curves and parameter lines, which calculator windows read back.
    GraphModel& model() { return model_; }

    void formShow() override;
    void formActivate() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // --- window events
    void FormCreate();
    void Update();
    void OkButClick();
    void bbDefaultClick();
    void bbCloseClick();
    void ChartClickSeries(QCPAbstractPlottable* series);
    void lbCurvInfoClick(int item);
    void lbCurvInfoDblClick();
    void saveasmetafile1Click();
    void plotgraph1Click();
    void copydata1Click();
    void MainTitle1Click();
    void leftaxistitle1Click();
    void bottomaxixtitle1Click();
    // The tab-separated text that "copy data" puts on the clipboard.
    QString curveDataText() const;

    static QString f42f(double x);
    static QString f52g(double x);
    QCPGraph* openSeries(int index);
    void dropSeries(int index);
    void applyAxis(bool bottom, const AxisPlan& plan, const LogLabelTable& table);
    void writeExtremeFields();
    void fitCurvInfoPanel();
    void closeCurvInfo();  // the panel hidden and emptied: its curve is gone
    void replotLater();

    GraphModel model_;
    std::array<QCPGraph*, kCurveSlots> CurveSeries{};
    std::array<QString, kCurveSlots> owners_;  // by curve index: objectName of the window that made it

    QCustomPlot* chart_ = nullptr;
    QSharedPointer<PictureTicker> linTickerX_, linTickerY_;
    QSharedPointer<LogTableTicker> logTickerX_, logTickerY_;
    QListWidget* lbCurvInfo_ = nullptr;
    QGroupBox* gbXAxis_ = nullptr;
    QGroupBox* gbYAxis_ = nullptr;
    QRadioButton* rbXLin_ = nullptr;
    QRadioButton* rbXLog_ = nullptr;
    QRadioButton* rbYLin_ = nullptr;
    QRadioButton* rbYLog_ = nullptr;
    QLineEdit* exmin_ = nullptr;
    QLineEdit* exmax_ = nullptr;
    QLineEdit* edIncrx_ = nullptr;
    QLineEdit* eymin_ = nullptr;
    QLineEdit* eymax_ = nullptr;
    QLineEdit* edIncry_ = nullptr;
    QPrinter printer_;
    bool fieldsShowExtremes_ = false;  // the range fields hold the texts of the extremes
};

}  // namespace lumerad
