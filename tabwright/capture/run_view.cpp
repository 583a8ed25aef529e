#include "tabwright/capture/run_view.h"

#include "tabwright/capture/incoming_text.h"

namespace tabwright {

namespace {

// No run: Start and the port's "..." enabled, the run's own buttons not.
constexpr std::array<std::optional<bool>, kRunButtonCount> kNoRunButtons = {true, false, false, false, true};

// The run buttons while a run is on: Stop always, Pause or Resume by `paused`.
void showRunButtons(RunLook& look, bool paused, bool pauseAllowed)
{
    look.enabled = {false, true, !paused && pauseAllowed, paused, false};
    look.inFront = paused ? RunButton::Resume : RunButton::Pause;
}

}  // namespace

RunLook lookOf(const RunPicture& picture)
{
    RunLook look;
    const LampColour workbook = picture.blocked ? LampColour::Red : LampColour::Green;
    switch (picture.phase) {
    case RunPhase::OpeningWorkbook:
        // Nothing runs yet for Stop, Pause or Resume to act on, and the port is about to open.
        look.excelLamp = LampColour::Yellow;
        look.enabled = {false, false, false, false, false};
        break;
    case RunPhase::WorkbookFailed:
        look.excelLamp = LampColour::Red;
        look.enabled = kNoRunButtons;
        break;
    case RunPhase::WorkbookOpen:
        look.excelLamp = LampColour::Green;
        break;
    case RunPhase::OpeningPort:
        look.excelLamp = LampColour::Green;
        look.portLamp = LampColour::Yellow;
        break;
    case RunPhase::PortFailed:
        // The spreadsheet application this Start opened is quit again.
        look.excelLamp = LampColour::Background;
        look.portLamp = LampColour::Red;
        look.enabled = kNoRunButtons;
        break;
    case RunPhase::Running:
        look.portLamp = LampColour::Green;
        look.excelLamp = workbook;
        showRunButtons(look, false, !picture.blocked);
        break;
    case RunPhase::Paused:
        look.portLamp = LampColour::Yellow;
        look.excelLamp = LampColour::Yellow;
        showRunButtons(look, true, false);
        break;
    case RunPhase::PortLost:
        // The workbook's lamp keeps what it showed, unless the workbook is blocked.
        look.portLamp = LampColour::Red;
        if (picture.blocked)
            look.excelLamp = LampColour::Red;
        showRunButtons(look, true, false);
        break;
    case RunPhase::Stopping:
        look.enabled = {false, false, false, false, std::nullopt};
        break;
    case RunPhase::Stopped:
        look.portLamp = LampColour::Background;
        look.excelLamp = picture.blocked ? LampColour::Red : LampColour::Background;
        look.enabled = kNoRunButtons;
        look.inFront = RunButton::Pause;
        break;
    }
    return look;
}

std::string statusText(const RunPicture& picture)
{
    if (!picture.bytesReceived)
        return picture.status;
    const std::string count = bytesReceivedText(*picture.bytesReceived);
    return picture.status.empty() ? count : picture.status + "; " + count;
}

}  // namespace tabwright
