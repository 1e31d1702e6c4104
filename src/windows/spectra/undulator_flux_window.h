#pragma once
// The undulator flux window: flux on the axis and in the central cone, flux density,
// brightness and coherent fraction of the harmonic the undulator window computed last.
#include "core/spectra/undulator_lines.h"
#include "ui/results_panel.h"
#include "ui/tool_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumerad {

class TfUndFlux : public ToolWindow {
    Q_OBJECT
public:
    explicit TfUndFlux(AppContext& ctx, QWidget* parent = nullptr);
    void formShow() override;
    void formActivate() override;

private:
    void FormShow();     // band width back to 0.1 %, then everything recomputed
    void Recalculate();  // with the band width as typed
    void showResults();

    QLineEdit* EdtBW_ = nullptr;
    QPushButton* BResult_ = nullptr;
    ResultsPanel results_;
    UndFluxResult result_;
    bool justShown_ = false;  // the activation that follows a showing recomputes nothing new
};

}  // namespace lumerad
