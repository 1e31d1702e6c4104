#pragma once
// The form-factor window: the longitudinal form factor of a micro-bunch of the current
// single-pass beam at one wavelength, and a scan over wavenumbers plotted in the graph window
// and written to a file.
#include <string>

#include "core/coherent/form_factor.h"
#include "ui/tool_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumerad {

class DBGrid;
class DBNavigator;

class TfFormFctr : public ToolWindow {
    Q_OBJECT
public:
    explicit TfFormFctr(AppContext& ctx, QWidget* parent = nullptr);

    void formShow() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void ShowButton();
    void Calculate();
    void CalcSpectrumClick();
    double bunchDuration() const;  // fs, from the current record
    void showDistribution();

    QLineEdit* wavelen_ = nullptr;
    QLineEdit* Eminwvn_ = nullptr;
    QLineEdit* Emaxwvn_ = nullptr;
    QLineEdit* Edelwvn_ = nullptr;
    QLabel* Lff_ = nullptr;
    QPushButton* CalcSpFF_ = nullptr;
    QPushButton* CalcSpectrum_ = nullptr;
    QRadioButton* isuniform_ = nullptr;
    QRadioButton* isgaussian_ = nullptr;
    QCheckBox* cbPlot_ = nullptr;
    QCheckBox* cbSave_ = nullptr;
    QRadioButton* rbAdd_ = nullptr;
    QRadioButton* rbReplace_ = nullptr;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    std::string distribution_ = "r";
    double lambda_ = 1e-4;
    double length_ = 0;
    FormFactorPoints points_;
};

}  // namespace lumerad
