#pragma once
#include "ui/tool_window.h"

namespace lumerad {

// Placeholder until this tool is built: the window exists with its caption.
class TfSPUnd : public ToolWindow {
    Q_OBJECT
public:
    explicit TfSPUnd(AppContext& ctx, QWidget* parent = nullptr);
};

} // namespace lumerad
