#include "numerics/bessel_window.h"

namespace lumerad {

TfBesFun::TfBesFun(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfBesFun", QStringLiteral("Bessel's Function"), parent) {
    resize(400, 300);
}

} // namespace lumerad
