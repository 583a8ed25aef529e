#pragma once

#include <QPointer>
#include <QWidget>

#include "common/core/file_dialog.h"

namespace common {

// The Open and Save dialogs as Qt's own file dialog, over the given window.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::string> open(const FileDialogRequest& request) override;
    std::optional<std::string> save(const FileDialogRequest& request) override;

private:
    std::optional<std::string> run(const FileDialogRequest& request, bool saving);

    QPointer<QWidget> parent_;
};

}  // namespace common
