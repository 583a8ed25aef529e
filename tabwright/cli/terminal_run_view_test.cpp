#include "tabwright/cli/terminal_run_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace tabwright {
namespace {

RunPicture picture(RunPhase phase, std::string status, std::string reason = {})
{
    RunPicture shown;
    shown.phase = phase;
    shown.status = std::move(status);
    shown.reason = std::move(reason);
    return shown;
}

TEST(TerminalRunView, PrintsEachNewStatusWithItsReasonOnce)
{
    std::ostringstream err;
    TerminalRunView view(err);
    view.showRun(picture(RunPhase::OpeningWorkbook, "Opening MS Excel Spreadsheet"));
    view.showRun(picture(RunPhase::WorkbookOpen, ""));
    view.showRun(picture(RunPhase::Running, "Ready"));
    view.showRun(picture(RunPhase::Stopping, "Ready"));
    view.showRun(picture(RunPhase::PortLost, "COM port not available", "Plug it back in."));
    // A second failure with the same status but another reason is told too.
    view.showRun(picture(RunPhase::PortLost, "COM port not available", "Plug it back in."));
    view.showRun(picture(RunPhase::PortLost, "COM port not available", "Still gone."));
    EXPECT_EQ(err.str(),
              "Opening MS Excel Spreadsheet\nReady\nCOM port not available: Plug it back in.\n"
              "COM port not available: Still gone.\n");
    EXPECT_EQ(view.lastStatus(), "COM port not available");
    EXPECT_EQ(view.lastReason(), "Still gone.");
}

TEST(TerminalRunView, ALostPortIsToldWithoutTheWindowsResumeAdvice)
{
    std::ostringstream err;
    TerminalRunView view(err);
    const std::string reason = "The connection was lost. Reconnect it." + std::string(kPressResumeAdvice);
    view.showRun(picture(RunPhase::PortLost, "COM port not available", reason));
    // Stop keeps the picture's status and reason: nothing new to tell.
    view.showRun(picture(RunPhase::Stopping, "COM port not available", reason));
    EXPECT_EQ(err.str(), "COM port not available: The connection was lost. Reconnect it.\n");
}

}  // namespace
}  // namespace tabwright
