#include "common/core/single_byte_text.h"

namespace common {

QString fromBytes(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

QString pathText(std::string_view path)
{
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

}  // namespace common
