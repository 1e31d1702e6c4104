#pragma once
// The single-pass beam editor: the linac configurations of SnglBeam in the grid SPGrid with
// the navigator DBNavigator1, and the current one in three groups of bound fields (DBEdt +
// field name with "/" as "_", e.g. DBEdtPart_Bunch). Buttons: bbAccept, bbClose, bbNew (new
// configuration), bbHelp; help text SBHelp. Accepting also stores the record.
#include "windows/catalogue/beam_editor.h"

namespace lumerad {

class TfSPBeam : public BeamEditor {
    Q_OBJECT
public:
    explicit TfSPBeam(AppContext& ctx, QWidget* parent = nullptr);
};

}  // namespace lumerad
