#pragma once

namespace tabwright {

// A local date and time of day, as a calendar and a 24-hour clock show them.
struct WallTime {
    int year = 0;
    int month = 0;  // 1 .. 12
    int day = 0;    // 1 .. 31
    int hour = 0;   // 0 .. 23
    int minute = 0;
    int second = 0;
};

// Where the emulated instruments read the date and time they stamp lines with.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual WallTime now() = 0;
};

}  // namespace tabwright
