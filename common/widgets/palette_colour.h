#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace common {

// Gives `widget` the colour for one role of its palette (its text, its fill, a box's base),
// the other roles as they were.
inline void setPaletteColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

}  // namespace common
