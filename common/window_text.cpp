#include "common/window_text.h"

#include <QLabel>

namespace common {

QLabel* plainLabel(const char* objectName, std::string_view text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString pathText(std::string_view path)
{
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

}  // namespace common
