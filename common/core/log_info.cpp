#include "common/core/log_info.h"

#include <QString>

namespace common {

void logInfo(const QLoggingCategory& category, std::string_view text)
{
    if (category.isInfoEnabled())
        QMessageLogger().info(category).noquote()
            << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace common
