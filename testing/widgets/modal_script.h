#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace testing_support {

// Acts on modal windows in a set order, as a user would: each step waits
// until the window of its object name is the active modal window, then runs.
// Steps run from a fresh event, so a step may open the next modal window.
class ModalScript : public QObject {
public:
    ModalScript();

    ModalScript& then(const QString& windowName, std::function<void(QWidget&)> action);
    // A mouse click on the window's child button of that object name.
    ModalScript& click(const QString& windowName, const QString& buttonName);

    std::size_t stepsLeft() const { return steps_.size(); }

private:
    struct Step {
        QString windowName;
        std::function<void(QWidget&)> action;
    };

    void poll();

    std::deque<Step> steps_;
    QTimer timer_;
    bool stepPending_ = false;
};

}  // namespace testing_support
