#include "tabwright/windows/key_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tabwright {
namespace {

// An arrow along the x axis from x = 0 to x = length, centred on y = 0, with
// a head at the far end and, when asked, one at the near end too.
QPainterPath horizontalArrow(qreal length, bool headAtBothEnds)
{
    constexpr qreal kHead = 11;
    constexpr qreal kHalfHeadWidth = 9;
    constexpr qreal kHalfShaft = 3;
    const qreal shaftStart = headAtBothEnds ? kHead : 0;
    const qreal shaftEnd = length - kHead;

    QPainterPath path;
    path.moveTo(length, 0);
    path.lineTo(shaftEnd, -kHalfHeadWidth);
    path.lineTo(shaftEnd, -kHalfShaft);
    path.lineTo(shaftStart, -kHalfShaft);
    if (headAtBothEnds) {
        path.lineTo(shaftStart, -kHalfHeadWidth);
        path.lineTo(0, 0);
        path.lineTo(shaftStart, kHalfHeadWidth);
    }
    path.lineTo(shaftStart, kHalfShaft);
    path.lineTo(shaftEnd, kHalfShaft);
    path.lineTo(shaftEnd, kHalfHeadWidth);
    path.closeSubpath();
    return path;
}

}  // namespace

KeyPicture::KeyPicture(const char* objectName, Symbol symbol, QWidget* parent)
    : QWidget(parent), symbol_(symbol)
{
    setObjectName(QString::fromLatin1(objectName));
    setFixedSize(kSide, kSide);
    setCursor(Qt::PointingHandCursor);
}

void KeyPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().button());

    constexpr qreal kMargin = 5;
    const qreal length = kSide - 2 * kMargin;
    painter.translate(kSide / 2.0, kSide / 2.0);
    painter.setPen(Qt::NoPen);

    switch (symbol_) {
    case Symbol::Up:
        painter.rotate(-90);
        painter.translate(-length / 2, 0);
        painter.fillPath(horizontalArrow(length, false), palette().buttonText());
        break;
    case Symbol::Down:
        painter.rotate(90);
        painter.translate(-length / 2, 0);
        painter.fillPath(horizontalArrow(length, false), palette().buttonText());
        break;
    case Symbol::LeftRight:
        painter.translate(-length / 2, 0);
        painter.fillPath(horizontalArrow(length, true), palette().buttonText());
        break;
    case Symbol::Go: {
        const QRectF disc(-length / 2, -length / 2, length, length);
        painter.setBrush(QColor(0, 150, 0));
        painter.drawEllipse(disc);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(11);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(disc, Qt::AlignCenter, QStringLiteral("GO"));
        break;
    }
    }
}

// Taking the press makes the release come here, even off the picture.
void KeyPicture::mousePressEvent(QMouseEvent* event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void KeyPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace tabwright
