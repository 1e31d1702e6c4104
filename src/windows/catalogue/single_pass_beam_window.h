#pragma once
// The single-pass beam editor: the linac configurations of SnglBeam in the grid SPGrid with
// the navigator DBNavigator1, and the current one in three groups of bound fields (DBEdt +
// field name with "/" as "_", e.g. DBEdtPart_Bunch). Buttons: bbAccept, bbClose, bbNew (new
// configuration), bbHelp; help text SBHelp.
#include "ui/tool_window.h"

class QPlainTextEdit;

namespace lumerad {

class DBGrid;
class DBNavigator;

class TfSPBeam : public ToolWindow {
    Q_OBJECT
public:
    explicit TfSPBeam(AppContext& ctx, QWidget* parent = nullptr);

    void formActivate() override;
    // Posts what was typed, recalculates the current record into the current-beam state and
    // stores it; then shows the source rows of the main window with form factor and
    // transition radiation on.
    void Accept();
    void bbAcceptClick();
    void bbCloseClick();
    void bbNewClick();
    void bbHelpClick();
    void SBHelpDblClick();

    DBGrid* SPGrid = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QPlainTextEdit* SBHelp = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
};

}  // namespace lumerad
