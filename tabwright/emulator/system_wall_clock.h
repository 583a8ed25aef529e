#pragma once

#include "tabwright/emulator/wall_clock.h"

namespace tabwright {

// The computer's clock in its local time zone.
class SystemWallClock : public WallClock {
public:
    WallTime now() override;
};

}  // namespace tabwright
