#pragma once
// Every user action (click, activation, field change, timer, shortcut) runs through run().
//
// - InputError and FloatError stop the action and their text goes to the error box;
//   nothing after the failing step runs, what the action wrote before it stays.
// - After an InputError the control it names (InputError::field(), an objectName) gets
//   the focus with its text selected; without a name, the editable field of the window
//   that holds exactly the refused text does.
// - One box per refusal: an action that fails with the text of an error box that is still
//   open (a field that finishes its edit again when the box takes the focus from it) shows
//   no second box.
// - Any other exception is reported as "internal error: ..." instead of ending the program.
// - Nothing ever leaves run(): an action that starts inside another one's nested event
//   loop (a message box or dialog is open) is caught, reported and ended on its own; the
//   outer action goes on as if nothing had happened, with its floating-point flags as
//   they were.
// - Floating-point faults are detected by the calculations themselves (calculated() or
//   checked steps, numerics/errors.h); the runner only clears the flags when an action
//   starts and when it ends, so what the toolkit raises (dialogs, painting, printing,
//   fonts, the file system) never becomes a message.
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace lumerad {

class Messages;

class ActionRunner {
public:
    explicit ActionRunner(Messages& messages) : messages_(messages) {}
    // Returns true when the action ran to its end. origin is the window or control the
    // action belongs to (where a refused field is looked up); the active window if null.
    bool run(const std::function<void()>& action, QWidget* origin = nullptr);
    Messages& messages() { return messages_; }
    // Refusals shown so far by any runner: a key that a field's refusal answered presses no
    // default button after it (which would only refuse the same text once more).
    static int refusalsShown() { return refusalsShown_; }

private:
    void refuse(const std::string& text, const std::string& field, QWidget* origin);
    // Shows the error box, unless one with the same text is open; false when none was shown.
    bool showError(const std::string& text);
    Messages& messages_;
    std::vector<std::string> open_;  // texts of the error boxes open now
    inline static int refusalsShown_ = 0;
};

// Puts the focus on the control a refused text came from and selects its text: the
// control named `field` under origin's window (a name that differs only in case is taken
// when no control has it exactly), or else the one editable line edit there
// that holds exactly `text`. Returns the control, or nullptr when none was found.
QWidget* focusRefusedField(QWidget* origin, const std::string& field, const std::string& text);

}  // namespace lumerad
