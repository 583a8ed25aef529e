#include "tabwright/capture/text_queue.h"

#include <algorithm>

namespace tabwright {

std::size_t TextInMemory::readAt(std::int64_t offset, std::size_t count, std::string& into)
{
    const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, size()));
    const std::size_t taken = std::min(count, text_.size() - from);
    into.append(text_, from, taken);
    return taken;
}

}  // namespace tabwright
