#include "app/tool_window.h"

#include <QEvent>
#include <QShowEvent>

#include "app/action_runner.h"

namespace lumerad {

ToolWindow::ToolWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(caption);
}

void ToolWindow::showTool() {
    show();
    raise();
    activateWindow();
}

bool ToolWindow::act(const std::function<void()>& action) { return ctx_.runner.run(action); }

bool ToolWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) act([this] { formActivate(); });
    return QWidget::event(e);
}

void ToolWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) act([this] { formShow(); });
}

} // namespace lumerad
