#include "logfetch/convert/convert_log.h"

// Warnings are the lowest level on by default; the reasons are logged as information.
Q_LOGGING_CATEGORY(convertLog, "logfetch.convert", QtWarningMsg)
