#pragma once

#include <QLoggingCategory>

// Why a conversion failed, off unless QT_LOGGING_RULES turns it on
// ("logfetch.*=true"): logfetch.convert.
Q_DECLARE_LOGGING_CATEGORY(convertLog)
