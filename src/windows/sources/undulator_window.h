#pragma once
// The undulator window: forward radiation of the current undulator on the current
// circulating beam. It recalculates on every activation and on its recalculate button, and
// opens the undulator flux and the line spectrum.
#include <memory>

#include "core/sources/undulator.h"
#include "ui/results_panel.h"
#include "windows/sources/permanent_magnet_panel.h"
#include "windows/sources/source_window_base.h"

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
    void formActivate() override;

private:
    // Reads every input, computes and writes every output, in the order of its steps.
    void Recalculate();
    void recalculate() override { Recalculate(); }
    // Any input change: results stale, parameters dirty.
    void Dirty();
    void Change() override { Dirty(); }
    void tbUndFluxClick();
    void tbLineSpectrumClick();
    void FormCreate();
    void showResults();

    QLineEdit *harm_ = nullptr, *edDist_ = nullptr;
    std::unique_ptr<PermanentMagnetPanel> magnet_;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    ResultsPanel results_;
    UndulatorResult result_;
};

}  // namespace lumerad
