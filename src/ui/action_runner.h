#pragma once
// Every user action (click, activation, field change) runs through run(): floating-point
// flags are cleared first and checked after, InputError and FloatError stop the action
// and their text goes to the error box. Nothing after the failing step runs; what the
// action wrote before it stays.
#include <functional>

namespace lumerad {

class Messages;

class ActionRunner {
public:
    explicit ActionRunner(Messages& messages) : messages_(messages) {}
    // Returns true when the action ran to its end.
    bool run(const std::function<void()>& action);
    Messages& messages() { return messages_; }

private:
    Messages& messages_;
    int depth_ = 0;  // nested actions report through the outermost one
};

} // namespace lumerad
