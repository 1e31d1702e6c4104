#pragma once
// Base of every window: a top-level widget named after its class, created once and hidden,
// shown non-modally; closing only hides it. Activation and showing run the window's
// handlers through the action runner.
//
// What a window gets from here, and how it uses it:
//
//   act(handler)                  every handler of a click, edit, activation or timer runs
//                                 through act(): errors become messages (see ActionRunner),
//                                 a refused field is focused and selected afterwards.
//   connectAction(sender, signal, handler)
//                                 connect + act in one call: every button, field, menu entry
//                                 and list of a window connects this way.
//   setDefaultButton(button)      Enter/Return in any editable line edit of the window
//                                 clicks this button (the calculate or recalculate button)
//                                 when it is visible and enabled. The field's own
//                                 editingFinished runs first. Source windows set tbRecalc.
//   setDefaultButton(button, area)  the same for the fields inside area (a panel with its
//                                 own calculate button, such as a scan panel).
//   addShortcut(keys, handler)    a window-wide key (Ctrl+P print, Ctrl+S save the graph)
//                                 whose handler runs through act().
//   Ctrl+W                        closes (hides) every tool window; the main window turns
//                                 it off with setCloseShortcut(false).
//
// A window's calculation reports its own floating-point faults: it runs inside
// calculated() (numerics/errors.h) or calls core routines that check their steps.
// InputError(text, objectName) names the field a refused text came from.
#include <QWidget>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/app_context.h"

class QAbstractButton;
class QKeySequence;
class QShortcut;

namespace lumerad {

class ToolWindow : public QWidget {
    Q_OBJECT
public:
    ToolWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent = nullptr);
    ~ToolWindow() override;

    // Show, bring to front and activate.
    void showTool();
    // Runs an action through the action runner; true when it ran to its end.
    bool act(const std::function<void()>& action);
    AppContext& ctx() { return ctx_; }

    // Connects a signal to a handler that runs through act(). The handler takes the signal's
    // arguments or none; it is disconnected with the window.
    // (The return types are spelled out so that Qt's count of the handler's arguments never
    // has to instantiate a body.)
    template <class Sender, class Signal, class Handler>
    void connectAction(Sender* sender, Signal signal, Handler handler) {
        if constexpr (std::is_invocable_v<const Handler&>)
            connect(sender, signal, this, [this, handler = std::move(handler)]() -> void { act(handler); });
        else
            connect(sender, signal, this, [this, handler = std::move(handler)](const auto&... args) -> void {
                act([&] { handler(args...); });
            });
    }

    // The button that Enter in an input field presses (nullptr: none); with an area, only
    // for the fields inside that area, before the window's own.
    void setDefaultButton(QAbstractButton* button, QWidget* area = nullptr);
    // The button Enter presses in field (the window's own without a field).
    QAbstractButton* defaultButton(const QWidget* field = nullptr) const;
    // A key of the whole window; the handler runs through act().
    QShortcut* addShortcut(const QKeySequence& keys, std::function<void()> handler);
    // Ctrl+W closes the window (on by default).
    void setCloseShortcut(bool on);

    // Handlers the windows override; called through the action runner.
    virtual void formActivate() {}
    virtual void formShow() {}

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    AppContext& ctx_;

private:
    QAbstractButton* defaultButton_ = nullptr;
    std::vector<std::pair<QWidget*, QAbstractButton*>> areaButtons_;
    QShortcut* closeShortcut_ = nullptr;
};

}  // namespace lumerad
