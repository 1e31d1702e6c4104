#pragma once
// The single-pass undulator window: an undulator traversed once by a bunch of the current
// single-pass beam. K, orbit displacement and deflection, the fundamental wavelength and wave
// number, and the form factor of the bunch there. Recalculates on every activation and on its
// recalculate button.
#include "core/sources/single_pass_undulator.h"
#include "ui/results_panel.h"
#include "windows/sources/source_window_base.h"

class QLineEdit;
class QLabel;
class QWidget;

namespace lumerad {

class DBGrid;
class DBNavigator;
class DBEdit;

class TfSPUnd : public SourceWindow {
    Q_OBJECT
public:
    explicit TfSPUnd(AppContext& ctx, QWidget* parent = nullptr);
    void formActivate() override;

private:
    void Recalculate();
    void recalculate() override { Recalculate(); }
    void bbYesClick();
    void bbNoClick();
    void bbApplyClick() override;
    void PnlBemParClick() override;
    void Dirty() { markStale(); }
    void showPermanentMagnetPanel(bool show);

    QLineEdit* Wfield_ = nullptr;
    QWidget* pnPerMag_ = nullptr;
    QPushButton* bbYes_ = nullptr;
    QPushButton* bbNo_ = nullptr;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    ResultsPanel results_;
};

}  // namespace lumerad
