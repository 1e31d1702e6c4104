#include "catalogue/single_pass_beam_window.h"

namespace lumerad {

TfSPBeam::TfSPBeam(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfSPBeam", QStringLiteral("Single Pass Beam Parameters"), parent) {
    resize(400, 300);
}

} // namespace lumerad
