#pragma once

class QWidget;

namespace common {

// Moves a top-level window so that it sits in the middle of its screen:
// left = (screen width - window width) / 2, top likewise. The window's size is
// settled first, so this works before the window is shown.
void centreOnScreen(QWidget& window);

}  // namespace common
