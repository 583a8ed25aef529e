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

}  // namespace testing_support
