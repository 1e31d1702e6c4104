#include "ui/action_runner.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <exception>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

namespace lumerad {

namespace {

// The text between the first pair of quotes of "'%s' is not a valid ... value".
std::string quotedText(const std::string& message) {
    const auto open = message.find('\'');
    const auto close = message.rfind("' is not a valid");
    if (open != 0 || close == std::string::npos) return {};
    return message.substr(1, close - 1);
}

}  // namespace

QWidget* focusRefusedField(QWidget* origin, const std::string& field, const std::string& text) {
    if (!origin) return nullptr;
    QWidget* window = origin->window();
    QWidget* target = nullptr;
    if (!field.empty()) {
        const QString name = QString::fromStdString(field);
        if (origin->objectName() == name)
            target = origin;
        else
            target = window->findChild<QWidget*>(name);
        if (!target) {  // a record field's edit may spell it differently (DBEdtgap for Gap)
            for (QWidget* w : window->findChildren<QWidget*>())
                if (w->objectName().compare(name, Qt::CaseInsensitive) == 0) {
                    target = w;
                    break;
                }
        }
    }
    if (!target) {
        if (auto* e = qobject_cast<QLineEdit*>(origin);
            e && !e->isReadOnly() && e->text().toStdString() == text)
            target = e;
    }
    if (!target) {
        const QString refused = QString::fromStdString(text);
        for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
            if (e->isReadOnly() || !e->isVisibleTo(window) || !e->isEnabled() || e->text() != refused)
                continue;
            target = e;
            break;
        }
    }
    if (!target) return nullptr;
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
    target->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(target)) e->selectAll();
    return target;
}

bool ActionRunner::showError(const std::string& text) {
    FloatFlagsKept keep;
    if (std::find(open_.begin(), open_.end(), text) != open_.end()) return false;  // already on screen
    open_.push_back(text);
    ++refusalsShown_;
    try {
        messages_.error(text);
    } catch (...) {
        open_.pop_back();
        throw;
    }
    open_.pop_back();
    return true;
}

void ActionRunner::refuse(const std::string& text, const std::string& field, QWidget* origin) {
    QPointer<QWidget> from(origin);
    if (showError(text) && from) focusRefusedField(from, field, quotedText(text));
}

bool ActionRunner::run(const std::function<void()>& action, QWidget* origin) {
    // A nested action must leave the outer one's flags as they were.
    FloatFlagsKept outerFlags;
    if (!origin)
        origin = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QPointer<QWidget> from(origin);
    bool ok = false;
    clearFloatFaults();
    try {
        try {
            action();
            ok = true;
        } catch (const InputError& e) {
            refuse(e.what(), e.field(), from);
        } catch (const FloatError& e) {
            showError(e.what());
        } catch (const std::exception& e) {
            showError(std::string("internal error: ") + e.what());
        } catch (...) {
            showError("internal error: unknown exception");
        }
    } catch (...) {
        // The error box itself failed; nothing may reach the event loop.
    }
    clearFloatFaults();
    return ok;
}

}  // namespace lumerad
