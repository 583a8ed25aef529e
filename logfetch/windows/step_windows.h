#pragma once

namespace logfetch {

// The windows the main window opens, each modally, each returning when it has
// closed. They talk to each other only through the program's StepValues.
class StepWindows {
public:
    virtual ~StepWindows() = default;
    virtual void showPortSelection() = 0;  // "Serial / COM Port Selection"
    virtual void runDownload() = 0;        // the download window's doprompt
    virtual void showConversion() = 0;     // "Conversion from BIN to PRN"
};

}  // namespace logfetch
