#pragma once

#include <QWidget>

#include <string_view>

#include "common/core/prompter.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/emulator/emulated_instruments.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;

namespace tabwright {

class FrontPanelWidget;
class LimitGroupBox;

// "Emulator": drives the capture without an instrument. The user chooses the
// machine to emulate and sets the K7RX's limits and index or the VQ-480's
// end-of-line frequency; Timer2 leaves the chosen model's next output in the
// hand-over four times a second, whether or not a capture runs. The window
// also carries the K7RX's front panel.
//
// One window is one load: it opens the emulator source when made and closes it when
// closed or destroyed; closing deletes it (Qt::WA_DeleteOnClose). It is a
// top-level window of its own, placed beside `placeBeside` (or centred when
// that is null), which is read once and not kept.
class frmEmulation : public QWidget {
    Q_OBJECT

public:
    frmEmulation(EmulatedInstruments& instruments, EmulatorSource& handover, common::Prompter& prompter,
                 const QWidget* placeBeside = nullptr);
    ~frmEmulation() override;

    // One tick of the 250 ms output pacing; tests call it instead of waiting.
    void Timer2_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeMachineChoice();
    void makeK7rxPanel();
    void makeVq480Panel();
    void makeLevelFrames(QGroupBox& panel);
    void Form_Load(const QWidget* placeBeside);
    void Form_Unload();
    void SelectMachine(const QString& text);
    void txtIndex_KeyUp();
    void txtEOLFrequency_Change(const QString& text);
    void chkInjectTab_Click(bool checked);
    void VScroll1_Change(int value);

    EmulatedInstruments& instruments_;
    EmulatorSource& handover_;
    common::Prompter& prompter_;
    bool loaded_ = false;

    FrontPanelWidget* Frame2_ = nullptr;
    QComboBox* cboMachine_ = nullptr;
    QGroupBox* famK7RX_ = nullptr;
    QLineEdit* txtIndex_ = nullptr;
    LimitGroupBox* Frame12_ = nullptr;
    LimitGroupBox* Frame13_ = nullptr;
    QGroupBox* famVQ480_ = nullptr;
    QLineEdit* txtEOLFrequency_ = nullptr;
    QCheckBox* chkInjectTab_ = nullptr;
    QScrollBar* VScroll1_ = nullptr;
    QFrame* famIll_ = nullptr;
    QLabel* lblNextEmulatorOutput_ = nullptr;
    QTimer* Timer2_ = nullptr;
};

}  // namespace tabwright
