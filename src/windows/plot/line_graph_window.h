#pragma once
// The undulator line spectrum as a bar chart: one bar per harmonic at its photon energy.
#include <QPrinter>
#include <QSharedPointer>

#include "ui/tool_window.h"

class QCustomPlot;
class QCPBars;

namespace lumerad {

class PictureTicker;

class TfLineGraph : public ToolWindow {
    Q_OBJECT
public:
    explicit TfLineGraph(AppContext& ctx, QWidget* parent = nullptr);
    ~TfLineGraph() override;

    // --- operations for the line-spectrum window
    void New(const QString& caption);
    void XY(double x, double y);
    void Axis();

private:
    // --- menus
    void MainTitle1Click();
    void leftaxistitle1Click();
    void bottomaxistitle1Click();
    void saveasmetafile1Click();
    void plot1Click();
    void replotLater();

    QCustomPlot* chart_ = nullptr;
    QCPBars* series1_ = nullptr;
    QSharedPointer<PictureTicker> tickerX_, tickerY_;
    QPrinter printer_;
};

}  // namespace lumerad
