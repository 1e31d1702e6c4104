#include "plot/enter_text_window.h"

namespace lumerad {

TfEnterText::TfEnterText(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfEnterText", QStringLiteral("enter data"), parent) {
    resize(400, 300);
}

} // namespace lumerad
