#pragma once

#include <cstdint>

#include "tabwright/emulator/random_source.h"

namespace tabwright {

// A generator seeded afresh from the system clock before every draw, so that
// no two runs of the program repeat each other's readings. A count of draws is
// mixed into the seed, so that two draws within one tick of the clock still
// differ.
class ClockSeededRandom : public RandomSource {
public:
    float nextUniform() override;

private:
    std::uint64_t draws_ = 0;
};

}  // namespace tabwright
