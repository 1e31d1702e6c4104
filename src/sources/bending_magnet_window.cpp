#include "sources/bending_magnet_window.h"

namespace lumerad {

TfSynRad::TfSynRad(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfSynRad", QStringLiteral("Bending Magnet Radiation"), parent) {
    resize(400, 300);
}

} // namespace lumerad
