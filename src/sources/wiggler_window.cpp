#include "sources/wiggler_window.h"

namespace lumerad {

TfWiggler::TfWiggler(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfWiggler", QStringLiteral("Wiggler Magnet Radiation"), parent) {
    resize(400, 300);
}

} // namespace lumerad
