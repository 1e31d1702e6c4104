#include "ui/tool_window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QShowEvent>

#include "ui/action_runner.h"

namespace lumerad {

namespace {

// Remembers that a dialog or message box has just closed. Closing an error box hands
// activation back to the window below it; that is not the user coming back to the
// window, and re-running its activation handler there would show the same error box
// again, without end. The platform may deliver the dialog's deactivation before or after
// the window's activation, so the dialog's hiding is what counts.
class ModalWatcher : public QObject {
public:
    bool dialogJustClosed = false;

    bool eventFilter(QObject* o, QEvent* e) override {
        if (!o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (!w->isWindow()) return false;
        const bool dialog = w->isModal() || qobject_cast<QDialog*>(w) != nullptr;
        if (e->type() == QEvent::Hide && dialog)
            dialogJustClosed = true;
        else if (e->type() == QEvent::WindowDeactivate && !dialog)
            dialogJustClosed = false;
        return false;
    }
};

ModalWatcher& modalWatcher() {
    static ModalWatcher* watcher = [] {
        auto* w = new ModalWatcher;
        qApp->installEventFilter(w);
        return w;
    }();
    return *watcher;
}

} // namespace

ToolWindow::ToolWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(caption);
    modalWatcher();
}

void ToolWindow::showTool() {
    show();
    raise();
    activateWindow();
}

bool ToolWindow::act(const std::function<void()>& action) { return ctx_.runner.run(action); }

bool ToolWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        ModalWatcher& watcher = modalWatcher();
        if (watcher.dialogJustClosed)
            watcher.dialogJustClosed = false;  // back from a dialog or message box
        else
            act([this] { formActivate(); });
    }
    return QWidget::event(e);
}

void ToolWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) act([this] { formShow(); });
}

} // namespace lumerad
