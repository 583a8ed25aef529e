#include "common/widgets/chart_application.h"

#include <cstdlib>
#include <string_view>

#include <QApplication>

namespace common {

bool commandLineAsksForChart(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            return false;
        if (argument == "--chart" || argument.substr(0, 8) == "--chart=")
            return true;
    }
    return false;
}

std::unique_ptr<QCoreApplication> commandLineApplication(int& argc, char* argv[])
{
    if (!commandLineAsksForChart(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace common
