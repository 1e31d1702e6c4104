#pragma once
// Message boxes of the running program. A box runs Qt's code and a nested event loop:
// the floating-point flags it raises are dropped, the caller's are kept.
#include "core/numerics/messages.h"

class QWidget;

namespace lumerad {

class QtMessages : public Messages {
public:
    void error(const std::string& text) override;
    void info(const std::string& text) override;
    bool question(const std::string& text) override;
};

}  // namespace lumerad
