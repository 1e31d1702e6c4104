#pragma once
// The special-function calculator window: Jn(x), K1/3 and K2/3, Ai and Ai', S(x) and the
// undulator coupling factor [JJ], each in its panel, refreshed on the refresh button.
#include <map>
#include <string>

#include "core/numerics/function_calculator.h"
#include "ui/tool_window.h"

class QLineEdit;
class QPushButton;

namespace lumerad {

class TfBesFun : public ToolWindow {
    Q_OBJECT
public:
    explicit TfBesFun(AppContext& ctx, QWidget* parent = nullptr);

    void formActivate() override { Initialize(); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Design texts in every field; runs at creation and on every activation.
    void Initialize();
    // Evaluates the five panels from the fields' texts and writes the results.
    void Recalculate();
    void BtnCalcClick();
    void writeFields(const FunctionPanelState& s);

    std::map<std::string, QLineEdit*> fields_;  // inputs and results by objectName
    QPushButton* BtnCalc_ = nullptr;
};

}  // namespace lumerad
