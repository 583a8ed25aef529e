#include "common/widgets/elided_label.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace common {

namespace {

constexpr int kFewestCharacters = 12;

}  // namespace

ElidedLabel::ElidedLabel(const char* objectName, QWidget* parent) : QLabel(parent)
{
    setObjectName(QString::fromLatin1(objectName));
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setWholeText(const QString& text)
{
    setText(text);
    setToolTip(text);
}

bool ElidedLabel::elided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QSize ElidedLabel::sizeHint() const
{
    return minimumSizeHint();
}

QSize ElidedLabel::minimumSizeHint() const
{
    QSize size = QLabel::minimumSizeHint();
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * kFewestCharacters));
    return size;
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    // A whole text is drawn by the label itself, selectable by the mouse.
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
