#pragma once

#include <string>
#include <vector>

#include "common/core/prompter.h"

namespace testing_support {

// Stands in for message boxes: keeps every text shown, in order.
class ScriptedPrompter : public common::Prompter {
public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

}  // namespace testing_support
