#pragma once
// The wiggler window: radiation of the current wiggler for the current circulating beam,
// recalculated on its recalculate button (not on activation), and the hand-over of the
// wiggler to the synchrotron spectrum window.
#include <memory>

#include "core/sources/wiggler.h"
#include "ui/results_panel.h"
#include "windows/sources/permanent_magnet_panel.h"
#include "windows/sources/source_window_base.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumerad {

class DBEdit;
class DBGrid;
class DBNavigator;

class TfWiggler : public SourceWindow {
    Q_OBJECT
public:
    explicit TfWiggler(AppContext& ctx, QWidget* parent = nullptr);
    void formActivate() override;

private:
    // Reads every input, computes and writes every output in the order of its steps.
    void Recalculate();
    void recalculate() override { Recalculate(); }
    // The spectrum of this wiggler: recalculated first when anything changed since.
    void Spectrum1Click();
    // Any input change: results stale, ParDirty set.
    void Dirty();
    void Change() override { Dirty(); }
    void FormCreate();
    void showResults();
    // The shared magnet state still holds what this window's last recalculation left.
    bool handedOver() const;

    QLineEdit *WaveLength_, *edBandW_, *edDist_;
    DBEdit *HorAngle_ = nullptr, *VerAngle_ = nullptr;
    std::unique_ptr<PermanentMagnetPanel> magnet_;
    ResultsPanel results_;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    WigglerResult result_;
    bool writing_ = false;  // the window writes a field itself: not a change by the user
    double psiX_ = 0;       // mrad, the observation angle of the last calculation
};

}  // namespace lumerad
