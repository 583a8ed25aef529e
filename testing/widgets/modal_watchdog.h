#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

namespace testing_support {

// Keeps a window test from hanging: any modal window that stays the active
// one for longer than the limit is closed, and the running test fails with
// its name. Create one in every test that shows a modal window.
class ModalWatchdog : public QObject {
public:
    explicit ModalWatchdog(std::chrono::milliseconds limit = std::chrono::seconds(30));

    int windowsClosed() const { return windowsClosed_; }

private:
    void check();

    std::chrono::milliseconds limit_;
    QTimer timer_;
    QPointer<QWidget> watched_;
    std::chrono::steady_clock::time_point since_;
    int windowsClosed_ = 0;
};

// Closes a modal window: a dialog is ended as if cancelled, bypassing any
// refusal of its own, anything else is closed.
void closeModalWindow(QWidget& window);

}  // namespace testing_support
