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

void ElidedLabel::setWholeText(const QString& text, qsizetype kept)
{
    kept_ = std::min(kept, text.size());
    setText(text);
    setToolTip(text);
}

QString ElidedLabel::shownText() const
{
    if (!elided())
        return text();
    const int width = contentsRect().width();
    const QString head = text().left(kept_);
    const int rest = width - fontMetrics().horizontalAdvance(head);
    // Words too long for the line themselves are shortened at their end, the path left out.
    if (rest <= 0)
        return fontMetrics().elidedText(text(), Qt::ElideRight, width);
    return head + fontMetrics().elidedText(text().mid(kept_), Qt::ElideMiddle, rest);
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
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}

}  // namespace common
