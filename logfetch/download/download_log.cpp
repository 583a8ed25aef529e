#include "logfetch/download/download_log.h"

// Warnings are the lowest level on by default; the reasons are logged as information.
Q_LOGGING_CATEGORY(downloadLog, "logfetch.download", QtWarningMsg)
Q_LOGGING_CATEGORY(downloadSerialLog, "logfetch.serial", QtWarningMsg)
