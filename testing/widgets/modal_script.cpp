#include "testing/widgets/modal_script.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace testing_support {

ModalScript::ModalScript()
{
    timer_.setInterval(std::chrono::milliseconds(5));
    connect(&timer_, &QTimer::timeout, this, &ModalScript::poll);
    timer_.start();
}

ModalScript& ModalScript::then(const QString& windowName, std::function<void(QWidget&)> action)
{
    steps_.push_back({windowName, std::move(action)});
    return *this;
}

ModalScript& ModalScript::click(const QString& windowName, const QString& buttonName)
{
    return then(windowName, [buttonName](QWidget& window) {
        auto* button = window.findChild<QAbstractButton*>(buttonName);
        ASSERT_NE(button, nullptr) << "no button " << buttonName.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    });
}

void ModalScript::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (stepPending_ || steps_.empty() || modal == nullptr ||
        modal->objectName() != steps_.front().windowName)
        return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    stepPending_ = true;
    // Run outside this timer's own event: a step that opens another modal
    // window must not keep the script from going on.
    QTimer::singleShot(0, this, [this, step = std::move(step), window = QPointer<QWidget>(modal)] {
        stepPending_ = false;
        if (window != nullptr)
            step.action(*window);
    });
}

}  // namespace testing_support
