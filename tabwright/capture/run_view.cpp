#include "tabwright/capture/run_view.h"

#include "tabwright/capture/incoming_text.h"

namespace tabwright {

namespace {

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
    auto& start = look.enabled[static_cast<std::size_t>(RunButton::Start)];
    const LampColour workbook = picture.blocked ? LampColour::Red : LampColour::Green;
    switch (picture.phase) {
    case RunPhase::OpeningWorkbook:
        look.excelLamp = LampColour::Yellow;
        start = false;
        break;
    case RunPhase::WorkbookFailed:
        look.excelLamp = LampColour::Red;
        start = true;
        break;
    case RunPhase::WorkbookOpen:
        look.excelLamp = LampColour::Green;
        break;
    case RunPhase::OpeningPort:
        look.excelLamp = LampColour::Green;
        look.portLamp = LampColour::Yellow;
        break;
    case RunPhase::PortFailed:
        look.excelLamp = LampColour::Green;
        look.portLamp = LampColour::Red;
        start = true;
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
        look.enabled = {true, false, false, false, true};
        look.inFront = RunButton::Pause;
        break;
    }
    return look;
}

std::string statusText(const RunPicture& picture, std::string_view groupSeparator)
{
    if (picture.bytesReceived)
        return bytesReceivedText(*picture.bytesReceived, groupSeparator);
    return picture.status;
}

}  // namespace tabwright
