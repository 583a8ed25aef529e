#pragma once

#include <QLoggingCategory>

// Why a download failed, off unless QT_LOGGING_RULES turns it on ("logfetch.*=true"):
// logfetch.download (the transfer), logfetch.serial (the port it reads).
Q_DECLARE_LOGGING_CATEGORY(downloadLog)
Q_DECLARE_LOGGING_CATEGORY(downloadSerialLog)
