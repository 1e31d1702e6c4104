#include "plot/line_graph_window.h"

namespace lumerad {

TfLineGraph::TfLineGraph(AppContext& ctx, QWidget* parent) : ToolWindow(ctx, "TfLineGraph", QStringLiteral("fLineGraph"), parent) {
    resize(400, 300);
}

} // namespace lumerad
