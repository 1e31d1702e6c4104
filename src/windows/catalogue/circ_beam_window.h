#pragma once
// The circulating-beam editor: the storage-ring configurations of CircBeam in the grid SRings
// with the navigator DBNavigator1, and the current one in an editing panel of bound fields
// (DBEdt + field name, "DE/E" as DBEdtDE_E) with its derived quantities read-only beside them.
// Buttons: bbAccept, bbAccClose, bbYes (new configuration), bbCBHelp; help text mCBHelp.
#include "windows/catalogue/beam_editor.h"

namespace lumerad {

class TfCBeam : public BeamEditor {
    Q_OBJECT
public:
    explicit TfCBeam(AppContext& ctx, QWidget* parent = nullptr);
};

}  // namespace lumerad
