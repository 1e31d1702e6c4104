#pragma once
// The circulating-beam editor: the storage-ring configurations of CircBeam in the grid SRings
// with the navigator DBNavigator1, and the current one in an editing panel of bound fields
// (DBEdt + field name, "DE/E" as DBEdtDE_E) with its derived quantities read-only beside them.
// Buttons: bbAccept, bbAccClose, bbYes (new configuration), bbCBHelp; help text mCBHelp.
#include "ui/tool_window.h"

class QPlainTextEdit;
class QPushButton;

namespace lumerad {

class DBGrid;
class DBNavigator;

class TfCBeam : public ToolWindow {
    Q_OBJECT
public:
    explicit TfCBeam(AppContext& ctx, QWidget* parent = nullptr);

    void formActivate() override;
    // Posts a pending edit, recalculates the current record into the current-beam state and
    // shows the source rows of the main window with form factor and transition radiation off.
    void Accept();
    void bbAcceptClick();
    void bbAccCloseClick();
    void bbYesClick();
    void bbCBHelpClick();
    void mCBHelpDblClick();

    DBGrid* SRings = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QPlainTextEdit* mCBHelp = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
};

}  // namespace lumerad
