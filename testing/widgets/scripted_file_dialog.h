#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/core/file_dialog.h"

namespace testing_support {

// Stands in for the Open and Save dialogs: answers each call with the next
// scripted path (nothing scripted, or std::nullopt, is a cancel) and keeps
// every request made.
class ScriptedFileDialog : public common::FileDialog {
public:
    enum class Form { Open, Save };
    struct Call {
        Form form;
        common::FileDialogRequest request;
    };

    std::optional<std::string> open(const common::FileDialogRequest& request) override
    {
        return answer(Form::Open, request);
    }
    std::optional<std::string> save(const common::FileDialogRequest& request) override
    {
        return answer(Form::Save, request);
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<Call> calls;

private:
    std::optional<std::string> answer(Form form, const common::FileDialogRequest& request)
    {
        calls.push_back({form, request});
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> next = answers.front();
        answers.pop_front();
        return next;
    }
};

}  // namespace testing_support
