#include "plot/graph_window.h"

namespace lumerad {

TfGraphs::TfGraphs(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfGraphs", QStringLiteral("Graphs"), parent) {
    resize(400, 300);
}

} // namespace lumerad
