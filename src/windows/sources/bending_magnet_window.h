#pragma once
// The bending-magnet window: radiation of the current bending magnet for the current
// circulating beam. It recalculates on every activation and on its recalculate button,
// and opens the synchrotron spectrum.
#include "core/sources/bending_magnet.h"
#include "ui/results_panel.h"
#include "windows/sources/source_window_base.h"

class QLineEdit;
class QLabel;

namespace lumerad {

class DBGrid;
class DBNavigator;
class DBEdit;
class DBText;

class TfSynRad : public SourceWindow {
    Q_OBJECT
public:
    explicit TfSynRad(AppContext& ctx, QWidget* parent = nullptr);

    // The source grid's columns; the pole count, period and gap only with device columns.
    void setSourceColumns(bool withDeviceColumns);
    void formActivate() override;

private:
    // Reads every input, computes and writes every output, in the order of its steps.
    void RecalcSRPar();
    void recalculate() override { RecalcSRPar(); }
    void tbSpectrumClick();
    void DBEdtFieldChange();
    void bbApplyClick() override;
    void FormCreate();
    void showResults();
    bool fieldHoldsNumber() const;  // the text of DBEdtField is a number (or empty)

    QLineEdit *WaveLength_, *edBandW_, *VerObsAng_, *edDist_, *edIncAng_;
    ResultsPanel results_;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    DBEdit* DBEdtSource_ = nullptr;
    DBEdit* DBEdtField_ = nullptr;
    DBEdit* DBEdtBemPar_ = nullptr;
    BendingMagnetResult result_;
};

}  // namespace lumerad
