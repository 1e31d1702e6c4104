#pragma once
// Message boxes of the running program.
#include "numerics/messages.h"

class QWidget;

namespace lumerad {

class QtMessages : public Messages {
public:
    void error(const std::string& text) override;
    void info(const std::string& text) override;
    bool question(const std::string& text) override;
};

} // namespace lumerad
