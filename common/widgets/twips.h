#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace common {

// Window geometry of the original design is in twips; at 100 % scale one
// pixel is 15 twips.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline QPoint twipsPoint(int left, int top)
{
    return {twipsToPixels(left), twipsToPixels(top)};
}

inline QSize twipsSize(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace common
