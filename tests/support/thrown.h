#pragma once
// The message of the error of type E an action throws, "" when it throws none; an error of
// another type goes on to the test framework.
#include <exception>
#include <string>

namespace lumerad::testsupport {

template <class E = std::exception, class F>
std::string thrown(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

}  // namespace lumerad::testsupport

namespace lumerad {
using testsupport::thrown;
}
