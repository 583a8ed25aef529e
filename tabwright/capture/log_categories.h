#pragma once

#include <QLoggingCategory>

#include <string_view>

// Why a run failed, one category per area, off unless QT_LOGGING_RULES turns it on
// (for example QT_LOGGING_RULES="tabwright.*=true"), so a lab can send a log:
// tabwright.capture (the run control), tabwright.calc (the spreadsheet application),
// tabwright.serial (the port the run reads).
Q_DECLARE_LOGGING_CATEGORY(captureLog)
Q_DECLARE_LOGGING_CATEGORY(calcLog)
Q_DECLARE_LOGGING_CATEGORY(serialLog)

namespace tabwright {

// Logs `text` (UTF-8) as information in `category` when the category is turned on.
void logInfo(const QLoggingCategory& category, std::string_view text);

}  // namespace tabwright
