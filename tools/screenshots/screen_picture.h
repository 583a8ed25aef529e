#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace testing_support {

// Saves what the screen of the window shows in the area and a small margin
// around it (so that popups and message boxes over the window are caught
// too) as a picture file, and says on standard output whether it was saved.
bool saveScreenPicture(const QWidget& window, QRect area, const QString& path);

// The window with the title bar a window manager put above it: a manager that tells no frame
// extents (twm) leaves the title bar out of the frame geometry.
QRect withTitleBar(const QWidget& window);

}  // namespace testing_support
