#pragma once

#include <QColor>

namespace common {

// A colour number in the original's 0x00BBGGRR order (red in the low byte).
inline QColor colourFromBgr(unsigned bgr)
{
    return QColor(static_cast<int>(bgr & 0xFFU), static_cast<int>((bgr >> 8) & 0xFFU),
                  static_cast<int>((bgr >> 16) & 0xFFU));
}

}  // namespace common
