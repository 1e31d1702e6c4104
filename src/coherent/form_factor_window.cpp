#include "coherent/form_factor_window.h"

namespace lumerad {

TfFormFctr::TfFormFctr(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfFormFctr", QStringLiteral("Formfactor"), parent) {
    resize(400, 300);
}

} // namespace lumerad
