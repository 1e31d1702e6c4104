#include "sources/single_pass_undulator_window.h"

namespace lumerad {

TfSPUnd::TfSPUnd(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfSPUnd", QStringLiteral("single pass undulator radiation"), parent) {
    resize(400, 300);
}

} // namespace lumerad
