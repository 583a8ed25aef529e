#include "tools/screenshots/screen_picture.h"

#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <iostream>

namespace testing_support {

bool saveScreenPicture(const QWidget& window, QRect area, const QString& path)
{
    area.adjust(-12, -12, 12, 12);
    const QPixmap picture = window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool saved = picture.save(path);
    std::cout << (saved ? "saved " : "could not save ") << path.toStdString() << '\n';
    return saved;
}

QRect withTitleBar(const QWidget& window)
{
    constexpr int kTitleBar = 30;
    const QRect frame = window.frameGeometry();
    return frame == window.geometry() ? frame.adjusted(0, -kTitleBar, 0, 0) : frame;
}

}  // namespace testing_support
