#include "ui/tool_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>

#include "ui/action_runner.h"

namespace lumerad {

namespace {

// Remembers the window a closing dialog or message box hands the activation back to.
// That is not the user coming back to the window, and re-running its activation handler
// there would show the same error box again, without end. The platform may deliver the
// dialog's deactivation before or after the window's activation, and its hiding before
// (X11) or after (offscreen) it, so whichever of the two comes first counts. Only that
// window is spared: another window the action shows after the dialog (the graph after a
// file dialog) is activated as usual and refreshes itself.
class ModalWatcher : public QObject {
public:
    QPointer<QWidget> returningTo;

    // The Return or Enter key being delivered, and the refusals shown before it arrived.
    const QEvent* returnKey = nullptr;
    int refusalsBeforeKey = 0;

    bool eventFilter(QObject* o, QEvent* e) override {
        // The filter sees a key again at each parent it propagates to; the first time counts.
        if ((e->type() == QEvent::KeyPress && e != returnKey) || e->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                returnKey = e->type() == QEvent::KeyPress ? e : nullptr;
                refusalsBeforeKey = ActionRunner::refusalsShown();
            }
        }
        if (!o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (!w->isWindow()) return false;
        const bool dialog = w->isModal() || qobject_cast<QDialog*>(w) != nullptr;
        if ((e->type() == QEvent::Hide || e->type() == QEvent::WindowDeactivate) && dialog) {
            returningTo = below_;
        } else if (e->type() == QEvent::WindowDeactivate && !dialog) {
            below_ = w;
            returningTo = nullptr;
        }
        return false;
    }

private:
    QPointer<QWidget> below_;  // the last ordinary window that lost the activation
};

ModalWatcher& modalWatcher() {
    static ModalWatcher* watcher = [] {
        auto* w = new ModalWatcher;
        qApp->installEventFilter(w);
        return w;
    }();
    return *watcher;
}

}  // namespace

ToolWindow::ToolWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(caption);
    modalWatcher();
    closeShortcut_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    closeShortcut_->setContext(Qt::WindowShortcut);
    connect(closeShortcut_, &QShortcut::activated, this, &QWidget::close);
}

ToolWindow::~ToolWindow() {
    // QWidget's destructor hides the window, and a field that had the focus then finishes
    // its editing: its handlers must not reach a window whose members are already gone.
    for (QObject* c : findChildren<QObject*>()) QObject::disconnect(c, nullptr, this, nullptr);
}

QShortcut* ToolWindow::addShortcut(const QKeySequence& keys, std::function<void()> handler) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connectAction(s, &QShortcut::activated, std::move(handler));
    return s;
}

void ToolWindow::setCloseShortcut(bool on) { closeShortcut_->setEnabled(on); }

void ToolWindow::keyPressEvent(QKeyEvent* e) {
    // A line edit lets Enter through after it has finished its editing; it arrives here.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QAbstractButton* button = edit ? defaultButton(edit) : nullptr;
        // A field that refused its text on this key keeps it: one box per refusal.
        const ModalWatcher& w = modalWatcher();
        const bool refused = w.returnKey == e && ActionRunner::refusalsShown() != w.refusalsBeforeKey;
        if (button && !edit->isReadOnly() && edit->window() == this && button->isVisibleTo(this) &&
            button->isEnabled()) {
            e->accept();
            if (!refused) button->click();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void ToolWindow::setDefaultButton(QAbstractButton* button, QWidget* area) {
    if (!area) {
        defaultButton_ = button;
        return;
    }
    areaButtons_.emplace_back(area, button);
}

QAbstractButton* ToolWindow::defaultButton(const QWidget* field) const {
    if (field)
        for (const auto& [area, button] : areaButtons_)
            if (area->isAncestorOf(field)) return button;
    return defaultButton_;
}

void ToolWindow::showTool() {
    show();
    raise();
    activateWindow();
}

bool ToolWindow::act(const std::function<void()>& action) { return ctx_.runner.run(action, this); }

bool ToolWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        ModalWatcher& watcher = modalWatcher();
        if (watcher.returningTo == this)
            watcher.returningTo = nullptr;  // back from a dialog or message box
        else
            act([this] { formActivate(); });
    }
    return QWidget::event(e);
}

void ToolWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The window manager keeps a window at least as large as its layout needs; without one
    // (or when it ignores the hint) the window grows back to that size after the resize, so no
    // field or button is ever cut off or drawn over another.
    if (!isWindow() || !layout()) return;
    const auto least = [this] { return minimumSize().expandedTo(layout()->totalMinimumSize()); };
    const QSize now = least();
    if (e->size().width() >= now.width() && e->size().height() >= now.height()) return;
    QMetaObject::invokeMethod(
        this, [this, least] { resize(size().expandedTo(least())); }, Qt::QueuedConnection);
}

void ToolWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) act([this] { formShow(); });
}

}  // namespace lumerad

namespace lumerad {

void AppContext::show(WindowId id) const {
    if (QWidget* w = window(id)) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

}  // namespace lumerad
