#pragma once

#include <ostream>
#include <string_view>

#include "common/core/prompter.h"

namespace tabwright {

// Messages a run shows in a message box are lines on the terminal.
class TerminalPrompter : public common::Prompter {
public:
    explicit TerminalPrompter(std::ostream& err) : err_(err) {}
    void showMessage(std::string_view message) override { err_ << message << '\n' << std::flush; }

private:
    std::ostream& err_;
};

}  // namespace tabwright
