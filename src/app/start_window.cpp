#include "app/start_window.h"

namespace lumerad {

TfStart::TfStart(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfStart", QStringLiteral("Lumerad"), parent) {
    resize(400, 300);
}

} // namespace lumerad
