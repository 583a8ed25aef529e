#pragma once

#include <optional>
#include <string>

namespace common {

// What a file dialog opens with. The filter is in the "description|patterns|
// description|patterns" form, for example
// "Binary File (*.BIN)|*.BIN|All File (*.*)|*.*".
struct FileDialogRequest {
    std::string folder;    // initial folder; empty for the dialog's own choice
    std::string fileName;  // initial file name
    std::string filter;
    std::string title{};  // what the dialog is for; empty for the dialog's own ("Open", "Save As")
};

// The common Open and Save dialogs. Each returns the full path chosen, or
// nothing when the user cancelled.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual std::optional<std::string> open(const FileDialogRequest& request) = 0;
    // The caller asks before replacing an existing file; the dialog does not.
    virtual std::optional<std::string> save(const FileDialogRequest& request) = 0;
};

}  // namespace common
