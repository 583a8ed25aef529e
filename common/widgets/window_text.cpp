#include "common/widgets/window_text.h"
#include "common/core/single_byte_text.h"

#include <QLabel>
#include <QPushButton>

namespace common {

QLabel* plainLabel(const char* objectName, std::string_view text, QWidget* parent)
{
    auto* label = new QLabel(common::fromBytes(text), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* namedButton(const char* objectName, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

void placeSizedToText(QLabel& label, QPoint place)
{
    label.move(place);
    label.adjustSize();
}

}  // namespace common
