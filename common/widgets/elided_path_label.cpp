#include "common/widgets/elided_path_label.h"

#include <QScreen>

#include <algorithm>

#include "common/core/single_byte_text.h"

namespace common {

namespace {

// The room a path may ask for: two thirds of the screen, as Qt gives a window
// when it sizes one to its content.
int widestWanted(const QWidget& label, int fallback)
{
    const QScreen* screen = label.screen();
    return screen != nullptr ? screen->availableGeometry().width() * 2 / 3 : fallback;
}

}  // namespace

void ElidedPathLabel::setPath(std::string_view path)
{
    setWholeText(pathText(path));
}

QSize ElidedPathLabel::sizeHint() const
{
    // The whole path's own width, not the few characters the elided base asks for.
    QSize size = QLabel::sizeHint();  // NOLINT(bugprone-parent-virtual-call)
    size.setWidth(std::min(size.width(), widestWanted(*this, size.width())));
    return size;
}

}  // namespace common
