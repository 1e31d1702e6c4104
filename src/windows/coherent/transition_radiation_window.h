#pragma once
// The transition-radiation window: the radiation of a bunch of the current single-pass beam
// crossing a metal boundary, at one photon energy typed in one of five units, incoherent or
// coherent, into the half space and into an acceptance cone.
#include <map>
#include <string>

#include "core/coherent/transition_radiation.h"
#include "ui/results_panel.h"
#include "ui/tool_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumerad {

class DBGrid;
class DBNavigator;

class TfTR : public ToolWindow {
    Q_OBJECT
public:
    explicit TfTR(AppContext& ctx, QWidget* parent = nullptr);

    void formActivate() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CalculateClick();
    void CalculateTR();
    void EdtChange();
    void unitClick(PhotonUnit unit);
    void RBcoherentEnter();
    void RBincohClick();
    void EdtAngAccGamChange();
    void EdtAngAccmrChange();
    PhotonUnit unit() const;

    QLabel* LphotEn_ = nullptr;
    QLabel* Lunit_ = nullptr;
    QLabel* LFormFctr_ = nullptr;
    QLineEdit* EdtPhEn_ = nullptr;
    QLineEdit* EdtBnWdth_ = nullptr;
    QLineEdit* EdtFormF_ = nullptr;
    QLineEdit* EdtAngAccGam_ = nullptr;
    QLineEdit* EdtAngAccmr_ = nullptr;
    QComboBox* cbConvert_ = nullptr;
    QRadioButton* RBcoherent_ = nullptr;
    QRadioButton* RBincoh_ = nullptr;
    std::map<PhotonUnit, QRadioButton*> unitButtons_;
    QPushButton* Calculate_ = nullptr;
    ResultsPanel results_;
    DBGrid* grid_ = nullptr;
    DBNavigator* navigator_ = nullptr;
    TransitionRadiationState state_;
};

}  // namespace lumerad
