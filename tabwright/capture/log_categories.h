#pragma once

#include <QLoggingCategory>

#include "common/core/log_info.h"

// Why a run failed, one category per area, off unless QT_LOGGING_RULES turns it on
// (for example QT_LOGGING_RULES="tabwright.*=true"), so a lab can send a log:
// tabwright.capture (the run control), tabwright.calc (the spreadsheet application),
// tabwright.workbook (the template, its trust and the working copy; why no capture
// workbook opened), tabwright.serial (the port the run reads).
Q_DECLARE_LOGGING_CATEGORY(captureLog)
Q_DECLARE_LOGGING_CATEGORY(calcLog)
Q_DECLARE_LOGGING_CATEGORY(workbookLog)
Q_DECLARE_LOGGING_CATEGORY(serialLog)

namespace tabwright {

using common::logInfo;

}  // namespace tabwright
