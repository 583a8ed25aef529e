#include "tabwright/emulator/whole_number_text.h"

#include <limits>

#include "common/core/whole_number.h"

namespace tabwright {

std::optional<std::int16_t> wholeNumber16(std::string_view text)
{
    const std::optional<long long> number = common::wholeNumber(
        text, {common::Blanks::Spaces, common::Sign::PlusOrMinus}, std::numeric_limits<std::int16_t>::min(),
        std::numeric_limits<std::int16_t>::max());
    if (!number)
        return std::nullopt;
    return static_cast<std::int16_t>(*number);
}

}  // namespace tabwright
