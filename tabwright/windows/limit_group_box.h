#pragma once

#include <QGroupBox>

#include "tabwright/emulator/limit_cascade.h"

class QCheckBox;
class QLabel;
class QScrollBar;

namespace tabwright {

// The object names of one limit group's controls, in the window's naming.
struct LimitGroupNames {
    const char* frame;
    const char* caption;
    const char* masterCaption;
    const char* master;  // value label; the bar is "scroll" + this
    const char* minimumCaption;
    const char* minimum;
    const char* maximumCaption;
    const char* maximum;
    const char* maintainWindow;
};

// One frame of the emulator's K7RX panel: master, minimum and maximum bars
// (0 .. 100) with their value labels, and "Maintain Min/Max Window". A bar the
// user moves runs the group's LimitCascade; the bars it carries along are then
// set without raising their own change signals, so a move ends after one hop.
class LimitGroupBox : public QGroupBox {
    Q_OBJECT

public:
    LimitGroupBox(const LimitGroupNames& names, InstrumentModel& model, Reading reading, QWidget* parent);

    LimitCascade& cascade() { return cascade_; }
    QScrollBar& masterBar() { return *master_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollBar* addRow(int top, const QColor& colour, const char* captionName, const char* caption,
                       const char* valueName, QLabel*& value);
    void showLimits();

    LimitCascade cascade_;
    QLabel* masterValue_ = nullptr;
    QLabel* minimumValue_ = nullptr;
    QLabel* maximumValue_ = nullptr;
    QScrollBar* master_ = nullptr;
    QScrollBar* minimum_ = nullptr;
    QScrollBar* maximum_ = nullptr;
    QCheckBox* maintainWindow_ = nullptr;
};

}  // namespace tabwright
