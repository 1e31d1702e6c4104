#pragma once
// The line spectrum window: the odd harmonics of the current undulator with photon energy,
// wavelength, effective line width and one radiation quantity; the line graph of the list;
// and the tuning scans over K or gap, plotted in the graph window and written to a file.
#include <QString>
#include <optional>
#include <utility>

#include "core/spectra/undulator_lines.h"
#include "ui/results_panel.h"
#include "ui/tool_window.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace lumerad {

class TfLineSpectrum : public ToolWindow {
    Q_OBJECT
public:
    // The gap range of the scans starts from startGapRange (the texts of Gap_mn and Gap_mx of
    // the source that was current when the program started; an empty text keeps the form's
    // value), or without it from the current source's.
    explicit TfLineSpectrum(AppContext& ctx,
                            std::optional<std::pair<QString, QString>> startGapRange = std::nullopt,
                            QWidget* parent = nullptr);
    void formShow() override;
    void formActivate() override;

private:
    // Lists the harmonics; false when the range was refused (with its message).
    bool Calculate();
    void CalculateClick() { Calculate(); }
    void Change();  // empties the list
    void LineGraphClick();
    void bbVKClick();
    void bbVUGapClick();
    void CalcScan();
    int quantity() const;  // item of rgQuantity, -1 with none
    void FormCreate();
    void showHeader(const LineListResult& r);
    TuningScanInputs scanInputs() const;

    QLineEdit *BW_, *fharm_, *toharm_, *edGapmin_, *edGapmax_, *edKmin_, *edKmax_;
    QGroupBox* rgQuantity_ = nullptr;
    QButtonGroup* quantityGroup_ = nullptr;
    QTableWidget* ListLS_ = nullptr;
    QRadioButton *rbvsPhEn_, *rbvsK_, *rbvsGap_, *rbAdd_, *rbReplace_;
    QCheckBox *cbSave_, *cbPlot_;
    ResultsPanel results_;
    LineListState list_;
    bool gapScan_ = true, kScan_ = false;
    std::optional<std::pair<QString, QString>> startGapRange_;
    bool justShown_ = false;
};

}  // namespace lumerad
