#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/core/prompter.h"

namespace common {

// Shows each message in a modal box with the program's title and one OK
// button, over the given window or, without one, over the active window.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QString programTitle, QWidget* parent = nullptr);

    void showMessage(std::string_view text) override;

private:
    QString title_;
    QPointer<QWidget> parent_;
};

// The text of a message as a box shows it: single-byte characters, CR LF as
// a plain line break.
QString messageText(std::string_view text);

}  // namespace common
