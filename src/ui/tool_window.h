#pragma once
// Base of every window: a top-level widget named after its class, created once and hidden,
// shown non-modally; closing only hides it. Activation and showing run the window's
// handlers through the action runner.
#include <QWidget>
#include <functional>

#include "ui/app_context.h"

namespace lumerad {

class ToolWindow : public QWidget {
    Q_OBJECT
public:
    ToolWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent = nullptr);

    // Show, bring to front and activate.
    void showTool();
    // Runs an action through the action runner; true when it ran to its end.
    bool act(const std::function<void()>& action);
    AppContext& ctx() { return ctx_; }

    // Handlers the windows override; called through the action runner.
    virtual void formActivate() {}
    virtual void formShow() {}

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

    AppContext& ctx_;
};

} // namespace lumerad
