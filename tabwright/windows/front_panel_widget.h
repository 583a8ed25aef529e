#pragma once

#include <QGroupBox>

#include "tabwright/emulator/front_panel_display.h"

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace tabwright {

class KeyPicture;

// The emulated instrument's front panel, the frame "DLR Panel": a two-line
// display over a keypad of twenty keys. Only GO and ESC act; the display steps
// once a second from "Power Up" on, starting when the panel is made.
class FrontPanelWidget : public QGroupBox {
    Q_OBJECT

public:
    explicit FrontPanelWidget(QWidget* parent = nullptr);

    // One step of the display, as each second of the display timer runs it; tests call it
    // instead of waiting.
    void displayTimer_Timer();

private:
    void makeDisplay();
    void makeKeypad();
    void refreshDisplay();
    void overlayKeyPictures();
    void cmdGO_Click();
    void escapeKey_Click();
    void picGO_Click();

    FrontPanelDisplay display_;
    QLabel* lblLine1_ = nullptr;
    QLabel* lblLine2_ = nullptr;
    QFrame* keypad_ = nullptr;
    QPushButton* cmdGO_ = nullptr;
    KeyPicture* picGO_ = nullptr;
    QTimer* displayTimer_ = nullptr;
};

}  // namespace tabwright
