#include "common/window_text.h"

#include <QLabel>
#include <QPushButton>

namespace common {

QLabel* plainLabel(const char* objectName, std::string_view text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), parent);
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

QString pathText(std::string_view path)
{
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

}  // namespace common
