#include "sources/undulator_window.h"

namespace lumerad {

TfUndulator::TfUndulator(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfUndulator", QStringLiteral("Undulator Radiation"), parent) {
    resize(400, 300);
}

} // namespace lumerad
