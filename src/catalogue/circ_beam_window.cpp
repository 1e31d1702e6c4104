#include "catalogue/circ_beam_window.h"

namespace lumerad {

TfCBeam::TfCBeam(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfCBeam", QStringLiteral("Circulating Beam Parameters"), parent) {
    resize(400, 300);
}

} // namespace lumerad
