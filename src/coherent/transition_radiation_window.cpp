#include "coherent/transition_radiation_window.h"

namespace lumerad {

TfTR::TfTR(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfTR", QStringLiteral("Transition Radiation"), parent) {
    resize(400, 300);
}

} // namespace lumerad
