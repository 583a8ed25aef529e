#pragma once

#include <QWidget>

#include <string_view>

#include "common/core/prompter.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/emulator/emulator_pacer.h"
#include "tabwright/emulator/steady_clock.h"

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
// end-of-line frequency; the chosen model speaks into the hand-over four times a second
// by the emulator's pace (EmulatorPacer, ticked by the output timer, object "Timer2"),
// whether or not a capture runs. The window also carries the K7RX's front panel.
//
// One window is one load: it turns the emulator on when made and off when closed or
// destroyed; closing deletes it (Qt::WA_DeleteOnClose). It is a top-level window of its
// own, placed beside `placeBeside` (or centred when that is null), which is read once and
// not kept. The pace follows `paceClock` (the system's steady clock when null).
class frmEmulation : public QWidget {
    Q_OBJECT

public:
    frmEmulation(EmulatedInstruments& instruments, EmulatorSource& handover, common::Prompter& prompter,
                 const QWidget* placeBeside = nullptr, SteadyClock* paceClock = nullptr);
    ~frmEmulation() override;

    // One tick of the output timer: every output due by the pace clock is said; tests move
    // their clock and call it instead of waiting.
    void outputTimer_Timer();

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
    void cboMachine_Change(const QString& text);
    void cboMachine_Click(int index);
    void selectMachine(const QString& text);
    void txtIndex_KeyUp();
    void txtEOLFrequency_Change(const QString& text);
    void chkInjectTab_Click(bool checked);
    void baseLevelBar_Change(int value);

    EmulatedInstruments& instruments_;
    EmulatorSource& handover_;
    common::Prompter& prompter_;
    SystemSteadyClock systemClock_;
    EmulatorPacer pacer_;
    bool loaded_ = false;

    FrontPanelWidget* frontPanel_ = nullptr;
    QComboBox* cboMachine_ = nullptr;
    QGroupBox* famK7RX_ = nullptr;
    QLineEdit* txtIndex_ = nullptr;
    LimitGroupBox* measurementLimits_ = nullptr;
    LimitGroupBox* temperatureLimits_ = nullptr;
    QGroupBox* famVQ480_ = nullptr;
    QLineEdit* txtEOLFrequency_ = nullptr;
    QCheckBox* chkInjectTab_ = nullptr;
    QScrollBar* baseLevelBar_ = nullptr;
    QFrame* baseLevelFill_ = nullptr;
    QLabel* lblNextEmulatorOutput_ = nullptr;
    QTimer* outputTimer_ = nullptr;
};

}  // namespace tabwright
