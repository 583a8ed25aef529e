#include "testing/widgets/modal_watchdog.h"

#include <QApplication>
#include <QDialog>

#include <gtest/gtest.h>

namespace testing_support {

ModalWatchdog::ModalWatchdog(std::chrono::milliseconds limit) : limit_(limit)
{
    timer_.setInterval(std::chrono::milliseconds(50));
    connect(&timer_, &QTimer::timeout, this, &ModalWatchdog::check);
    timer_.start();
}

void ModalWatchdog::check()
{
    QWidget* modal = QApplication::activeModalWidget();
    const auto now = std::chrono::steady_clock::now();
    if (modal != watched_) {
        watched_ = modal;
        since_ = now;
        return;
    }
    if (modal == nullptr || now - since_ < limit_)
        return;
    ADD_FAILURE() << "the modal window \"" << modal->objectName().toStdString() << "\" (\""
                  << modal->windowTitle().toStdString() << "\") was still open after " << limit_.count()
                  << " ms and was closed";
    ++windowsClosed_;
    watched_ = nullptr;
    closeModalWindow(*modal);
}

void closeModalWindow(QWidget& window)
{
    if (auto* dialog = qobject_cast<QDialog*>(&window))
        dialog->done(QDialog::Rejected);
    else
        window.close();
}

}  // namespace testing_support
