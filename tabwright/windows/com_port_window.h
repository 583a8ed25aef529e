#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tabwright {

// "COM Port Selection": the capture's port choice. COM 1 to COM 4 are option
// buttons, COM 5 to COM 16 a list behind "&Other"; beside each number the
// device it reaches now is shown. The option buttons are named optComPort_1 to
// optComPort_4 and optComPort_0 ("&Other"); the device texts lblDevice_1 to
// lblDevice_4 and lblDevice_0 (the device of the number chosen in the list).
class frmComPort : public QDialog {
    Q_OBJECT

public:
    explicit frmComPort(QWidget* parent = nullptr);

    // Shows the choice modally, with `current` preset (1 to 4 as its option,
    // 5 to 16 as "&Other" and its list entry, anything else as no choice), and
    // returns the port chosen with OK, or `current` unchanged after Cancel,
    // Escape or closing by the frame. OK needs a choice. The window is hidden
    // when this returns; each call starts afresh, devices listed anew.
    int GetPort(int current);

    // The first option button that sits directly in `container` and is set,
    // among all of the window's controls in their order; none when no such
    // button is set.
    QRadioButton* WhichOptionButton(const QWidget& container) const;

    void reject() override;

private:
    // The constructor's step for the port choices: a button and a device label a port, the
    // list of further ports beside "Other".
    void buildPortChoices();

    void Form_Load();
    void optComPort_Click();
    void cboComPort_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    void presetChoice(int current);
    void clearOptions();
    int optionIndex(const QRadioButton* option) const;
    void showDevices();

    bool ComPortCancelled_ = false;

    QGroupBox* portChoices_;
    std::array<QRadioButton*, 5> optComPort_;
    std::array<QLabel*, 5> lblDevice_;
    QComboBox* cboComPort_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace tabwright
