#pragma once

#include <QLoggingCategory>

#include <string_view>

namespace common {

// Logs `text` (UTF-8) as information in `category` when the category is turned on
// (QT_LOGGING_RULES, for example "tabwright.*=true" or "logfetch.*=true"). Each program
// declares its own categories; the reasons a job failed are logged as information, so a
// lab can send a log without the programs writing one by default.
void logInfo(const QLoggingCategory& category, std::string_view text);

}  // namespace common
