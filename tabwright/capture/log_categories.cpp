#include "tabwright/capture/log_categories.h"

// Warnings are the lowest level on by default; the reasons are logged as information.
Q_LOGGING_CATEGORY(captureLog, "tabwright.capture", QtWarningMsg)
Q_LOGGING_CATEGORY(calcLog, "tabwright.calc", QtWarningMsg)
Q_LOGGING_CATEGORY(workbookLog, "tabwright.workbook", QtWarningMsg)
Q_LOGGING_CATEGORY(serialLog, "tabwright.serial", QtWarningMsg)
