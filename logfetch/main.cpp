#include <QApplication>
#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <string>

#include "common/core/program_folder.h"
#include "common/core/single_byte_text.h"
#include "common/widgets/chart_application.h"
#include "logfetch/cli/command_line.h"
#include "logfetch/program_identity.h"
#include "logfetch/windows/logfetch_windows.h"
#include "logfetch/windows/main_window.h"

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(common::fromBytes(logfetch::kProgramTitle));
    QCoreApplication::setApplicationVersion(QString::fromStdString(logfetch::versionNumber()));
}

// Without a display there is no window to open; say what can be done instead
// rather than letting the window system abort the program.
bool displayReachable()
{
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
           std::getenv("QT_QPA_PLATFORM") != nullptr;
}

int runMainWindow(int argc, char* argv[])
{
    if (!displayReachable()) {
        std::cerr << "logfetch: no display to open the window on; logfetch convert works without one "
                     "(see logfetch --help)\n";
        return 2;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    logfetch::StepValues values;
    const std::string programFolder = common::programFolder();
    logfetch::LogfetchWindows steps(values, programFolder);
    logfetch::frmMain window(values, steps, programFolder);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc <= 1)
        return runMainWindow(argc, argv);

    const auto app = common::commandLineApplication(argc, argv);
    nameTheProgram();
    return logfetch::runCommandLine();
}
