#include "tabwright/emulator/system_wall_clock.h"

#include <ctime>

namespace tabwright {

WallTime SystemWallClock::now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return WallTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace tabwright
