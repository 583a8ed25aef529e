#pragma once

#include <string_view>

namespace common {

// The one way domain code and windows tell the user something: a modal
// message box with the program's title and a single OK button. Windows get a
// QMessageBox behind it; tests read the text instead of a window.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void showMessage(std::string_view text) = 0;
};

}  // namespace common
