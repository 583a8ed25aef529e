#include "tabwright/emulator/clock_seeded_random.h"

#include <chrono>
#include <random>

namespace tabwright {

float ClockSeededRandom::nextUniform()
{
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const std::uint64_t draw = draws_++;
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32),
                       static_cast<std::uint32_t>(draw), static_cast<std::uint32_t>(draw >> 32)};
    std::mt19937 generator(seed);
    // The top 24 bits give every float of the form k / 2^24, each equally
    // likely; none of them rounds to 1.
    constexpr float kStep = 1.0f / (1 << 24);
    return static_cast<float>(generator() >> 8) * kStep;
}

}  // namespace tabwright
