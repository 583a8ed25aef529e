#include "common/widgets/elided_path_label.h"

#include <QPainter>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "common/core/single_byte_text.h"
#include "common/widgets/window_text.h"

namespace common {

namespace {

// The room a path may ask for: two thirds of the screen, as Qt gives a window
// when it sizes one to its content.
int widestWanted(const QWidget& label, int fallback)
{
    const QScreen* screen = label.screen();
    return screen != nullptr ? screen->availableGeometry().width() * 2 / 3 : fallback;
}

constexpr int kFewestCharacters = 12;

}  // namespace

ElidedPathLabel::ElidedPathLabel(const char* objectName, QWidget* parent) : QLabel(parent)
{
    setObjectName(QString::fromLatin1(objectName));
    setTextFormat(Qt::PlainText);
}

void ElidedPathLabel::setPath(std::string_view path)
{
    setText(pathText(path));
    setToolTip(text());
}

bool ElidedPathLabel::elided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QSize ElidedPathLabel::sizeHint() const
{
    QSize size = QLabel::sizeHint();
    size.setWidth(std::min(size.width(), widestWanted(*this, size.width())));
    return size;
}

QSize ElidedPathLabel::minimumSizeHint() const
{
    QSize size = QLabel::minimumSizeHint();
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * kFewestCharacters));
    return size;
}

void ElidedPathLabel::paintEvent(QPaintEvent* event)
{
    // A whole path is drawn by the label itself, selectable by the mouse.
    if (!elided()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

}  // namespace common
