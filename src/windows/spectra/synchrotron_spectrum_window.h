#pragma once
// The synchrotron spectrum window: spectra of a bending magnet, or of a wiggler as a chain
// of bending-magnet poles, over photon energy or vertical observation angle, plotted in the
// graph window and optionally written to a file.
#include "core/spectra/synchrotron_spectrum.h"
#include "ui/results_panel.h"
#include "ui/tool_window.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace lumerad {

class TfSynSpectrum : public ToolWindow {
    Q_OBJECT
public:
    explicit TfSynSpectrum(AppContext& ctx, QWidget* parent = nullptr);
    void formShow() override { FormShow(); }
    void formActivate() override { FormShow(); }

private:
    void FormShow();
    void rgSpectrumClick();
    void rbVsAngClick();
    void rbPhEnClick();
    void bbShowGraphClick();
    // The calculation; without doPlot it only refreshes the displayed parameters.
    void Calculate(bool doPlot);
    // The parameter lines of the graph window's current curve.
    void CurveLegend();
    int spectrumItem() const;
    void setSpectrumItem(int item);  // as a click on the item
    void FormCreate();
    void say(const std::string& text);

    QLabel *MaxFld_, *KPar_, *LKPar_, *Poles_, *HobsMax_, *Ephcrit_;
    QLineEdit *BW_, *Hobs_, *e_phmin_, *e_phmax_, *De_ph_, *edVAng_, *edAngMax_, *edDAng_, *edPhEn_;
    QWidget *pnWig_, *rbPlotSel_;
    QGroupBox *pnPhEn_, *pnAng_, *rgSpectrum_;
    QButtonGroup* items_;
    QRadioButton *rbVsAng_, *rbPhEn_, *rbAdd_, *rbReplace_;
    QCheckBox *cbSave_, *cbPlot_;

    ResultsPanel results_;
    ObservationPoint obs_;
};

}  // namespace lumerad
