#include "ui/action_runner.h"

#include <exception>

#include "numerics/errors.h"
#include "numerics/messages.h"

namespace lumerad {

bool ActionRunner::run(const std::function<void()>& action) {
    if (depth_ > 0) {  // an action started from inside another: let the outer one report
        action();
        checkFloatFaults();
        return true;
    }
    ++depth_;
    bool ok = false;
    clearFloatFaults();
    try {
        action();
        checkFloatFaults();
        ok = true;
    } catch (const InputError& e) {
        messages_.error(e.what());
    } catch (const FloatError& e) {
        messages_.error(e.what());
    } catch (const std::exception& e) {
        messages_.error(e.what());
    }
    clearFloatFaults();
    --depth_;
    return ok;
}

} // namespace lumerad
