#pragma once

#include <cstddef>

namespace common {

// The first index in [first, last) that is not `before`, where every index that is comes
// first: a bisection over indices, for readings whose times may not be stored.
template <typename Before>
std::size_t firstIndexNotBefore(std::size_t first, std::size_t last, Before before)
{
    while (first < last) {
        const std::size_t middle = first + (last - first) / 2;
        if (before(middle))
            first = middle + 1;
        else
            last = middle;
    }
    return first;
}

}  // namespace common
