#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabwright {

// Where a capture run is. Start's steps come first, each shown as Start reaches it.
enum class RunPhase : std::int8_t {
    OpeningWorkbook,
    WorkbookFailed,  // Start ended: no capture workbook
    WorkbookOpen,
    OpeningPort,
    PortFailed,  // Start ended: the port did not open
    Running,
    Paused,    // by the user
    PortLost,  // paused because the port went away
    Stopping,  // Stop writes what is still waiting
    Stopped,
};

// The whole of what a run shows at one moment.
struct RunPicture {
    RunPhase phase = RunPhase::Stopped;
    // The workbook did not take the last write, or the text or macro after Stop.
    bool blocked = false;
    // The status line: the text, then the byte count when there is one (both while the
    // workbook is blocked: the journal keeps counting).
    std::string status;
    std::optional<std::int64_t> bytesReceived;
    // A file the status is about (a working copy, a journal), shown after it; a narrow
    // window shortens this, never the status' words and figures.
    std::string path;
    // Why the step shown failed, in words for the user; empty when nothing failed.
    std::string reason;

    bool operator==(const RunPicture&) const = default;
};

// What a lost port's reason ends with: the window's way on once the link is back.
inline constexpr std::string_view kPressResumeAdvice = " Then press Resume.";

// The two lamps: the serial port's and the spreadsheet application's.
enum class Lamp { ComPort, Excel };

// Yellow while opening or paused, green when open, red when opening or writing failed,
// Background (the colour of the lamp's container) after Stop.
enum class LampColour { Yellow, Green, Red, Background };

enum class RunButton { Start, Stop, Pause, Resume, ComPorts };
inline constexpr std::size_t kRunButtonCount = 5;

// How a window shows a RunPicture. What is empty stays as it was: Start's steps touch
// only the lamp they open and the Start button.
struct RunLook {
    std::optional<LampColour> portLamp;
    std::optional<LampColour> excelLamp;
    std::array<std::optional<bool>, kRunButtonCount> enabled;  // by RunButton
    std::optional<RunButton> inFront;                          // Pause or Resume
};

RunLook lookOf(const RunPicture& picture);

// The status line's text without the path; the count's digits grouped as everywhere else.
std::string statusText(const RunPicture& picture);

// What a capture run shows. Each picture is shown (repainted) at once, since the run may
// keep the user-interface thread busy right afterwards.
class RunView {
public:
    virtual ~RunView() = default;
    virtual void showRun(const RunPicture& picture) = 0;
    // Puts the window back in front of the spreadsheet application that Start opened.
    virtual void bringWindowToFront() = 0;
};

// The reading tick's timer (100 ms).
class RunTimer {
public:
    virtual ~RunTimer() = default;
    virtual void setTimerEnabled(bool enabled) = 0;
    // The next tick as soon as pending events have run, not after a full interval: the
    // tick left lines waiting. Later enables use the interval again.
    virtual void rearmAtOnce() { setTimerEnabled(true); }
};

}  // namespace tabwright
