#include "logfetch/convert/convert_log.h"

#include <QtGlobal>

// Warnings are the lowest level on by default; the reasons are logged as information.
Q_LOGGING_CATEGORY(convertLog, "logfetch.convert", QtWarningMsg)
