#include "tabwright/windows/emulator_window_slot.h"

#include "tabwright/windows/main_window.h"

namespace tabwright {

EmulatorWindowSlot::EmulatorWindowSlot(EmulatedInstruments& instruments, EmulatorSource& handover,
                                       common::Prompter& prompter, SteadyClock* paceClock)
    : instruments_(instruments), handover_(handover), prompter_(prompter), paceClock_(paceClock)
{
}

EmulatorWindowSlot::~EmulatorWindowSlot()
{
    unload();
}

void EmulatorWindowSlot::attachTo(frmMain& mainWindow)
{
    beside_ = &mainWindow;
    mainWindow.setEmulatorWindowHooks({[this] { show(); }, [this] { unload(); }, [this] { bringToFront(); }});
}

void EmulatorWindowSlot::bringToFront()
{
    // Raised only: the main window, raised after it, keeps the focus.
    if (window_ != nullptr && window_->isVisible())
        window_->raise();
}

void EmulatorWindowSlot::show()
{
    // A window the user closed is hidden at once but deleted only when the event loop comes
    // round again; reopening in between makes a new window rather than showing the closed
    // one, which would vanish a moment later.
    if (window_ == nullptr || window_->isHidden())
        window_ = new frmEmulation(instruments_, handover_, prompter_, beside_, paceClock_);
    // A minimized window comes back at its size; show() alone leaves it minimized.
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void EmulatorWindowSlot::unload()
{
    // Deleted now rather than later: at the end of the program no event loop is left to
    // run a deferred deletion.
    delete window_;
}

}  // namespace tabwright
