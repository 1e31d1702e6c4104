#pragma once
// The undulator window: forward radiation of the current undulator on the current
// circulating beam. It recalculates on every activation and on its recalculate button, and
// opens the undulator flux and the line spectrum.
#include "windows/sources/source_window_base.h"
#include "core/sources/undulator.h"
#include "ui/results_panel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumerad {

class DBEdit;
class DBGrid;
class DBNavigator;

class TfUndulator : public SourceWindow {
    Q_OBJECT
public:
    explicit TfUndulator(AppContext& ctx, QWidget* parent = nullptr);

    // Reads every input, computes and writes every output, in the order of its steps.
    void Recalculate();
    void recalculate() override { Recalculate(); }
    // Any input change: results stale, parameters dirty.
    void Dirty();
    void Change() override { Dirty(); }
    void formActivate() override;  // FormActivate
    void tbUndFluxClick();
    void tbLineSpectrumClick();
    void bbYesClick();
    void bbNoClick();

    const UndulatorResult& result() const { return result_; }
    DBGrid* grid() const { return grid_; }

private:
    void FormCreate();
    void showResults();
    void showMagnetPanel(bool permanent);

    QLineEdit *harm_ = nullptr, *edDist_ = nullptr, *Wfield_ = nullptr;
    QLabel* fldmax_ = nullptr;
    QWidget* pnPerMag_ = nullptr;
    QPushButton *bbYes_ = nullptr, *bbNo_ = nullptr;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    ResultsPanel results_;
    UndulatorResult result_;
};

}  // namespace lumerad
