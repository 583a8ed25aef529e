#pragma once

#include <QPointer>

#include "common/core/prompter.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/windows/emulation_window.h"

namespace tabwright {

class frmMain;

// The program's one emulator window, as the main window's Tools menu opens it: made on
// first use beside the main window, brought to the front while open, and deleted when the
// main window unloads. The window deletes itself when the user closes it; the next
// "Emulator" then makes a new one, which starts from its design values again.
class EmulatorWindowSlot {
public:
    // Each window paces its outputs by `paceClock` (the system's steady clock when null).
    EmulatorWindowSlot(EmulatedInstruments& instruments, EmulatorSource& handover, common::Prompter& prompter,
                       SteadyClock* paceClock = nullptr);
    ~EmulatorWindowSlot();
    EmulatorWindowSlot(const EmulatorWindowSlot&) = delete;
    EmulatorWindowSlot& operator=(const EmulatorWindowSlot&) = delete;

    // Gives the main window its "Emulator" entry and the unload of the window; the emulator
    // window is placed beside it. The main window must not outlive this slot.
    void attachTo(frmMain& mainWindow);

    // The open emulator window, or null.
    frmEmulation* window() const { return window_; }

private:
    void show();
    void unload();
    void bringToFront();

    EmulatedInstruments& instruments_;
    EmulatorSource& handover_;
    common::Prompter& prompter_;
    SteadyClock* paceClock_;
    const QWidget* beside_ = nullptr;
    QPointer<frmEmulation> window_;
};

}  // namespace tabwright
