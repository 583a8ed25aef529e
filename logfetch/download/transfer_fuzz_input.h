#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How the transfer fuzzer reads its input, shared with the program that
// writes its seed inputs. The first byte picks the time of day the transfer
// starts at, near midnight. Then each byte other than FF is a received byte;
// FF FF is a received FF, FF FE is Cancel, FF n (n below FE) is n tenths of a
// second of silence followed by a turn that finds nothing.
namespace logfetch::fuzz {

inline constexpr std::uint8_t kEscape = 0xFF;
inline constexpr std::uint8_t kCancel = 0xFE;
inline constexpr std::int32_t kSilenceStepMilliseconds = 100;

inline std::int32_t startTimeOfDay(std::uint8_t first)
{
    // From half a minute before midnight to almost four minutes after it.
    constexpr std::int32_t kDay = 24 * 60 * 60 * 1000;
    return (kDay - 30'000 + first * 1000) % kDay;
}

// Appends bytes received from the instrument, escaped.
inline void appendReceived(std::string& input, std::string_view bytes)
{
    for (char c : bytes) {
        input.push_back(c);
        if (static_cast<std::uint8_t>(c) == kEscape)
            input.push_back(static_cast<char>(kEscape));
    }
}

inline void appendSilence(std::string& input, std::uint8_t tenths)
{
    input.push_back(static_cast<char>(kEscape));
    input.push_back(static_cast<char>(tenths));
}

}  // namespace logfetch::fuzz
