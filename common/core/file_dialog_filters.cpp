#include "common/core/file_dialog_filters.h"
#include "common/core/single_byte_text.h"

#include <QRegularExpression>

namespace common {

namespace {

// Patterns are separated by ";" in the original form; Qt separates them by spaces.
QStringList caseBlindPatterns(const QString& patterns)
{
    QStringList result;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed == QLatin1String("*.*")) {
            result << QStringLiteral("*");
            continue;
        }
        for (const QString& variant : {trimmed, trimmed.toUpper(), trimmed.toLower()})
            if (!result.contains(variant))
                result << variant;
    }
    return result;
}

// "Binary File (*.BIN)" without the patterns it shows: Qt adds them again.
QString descriptionWithoutPatterns(const QString& description)
{
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString text = description;
    text.remove(shownPatterns);
    return text.trimmed();
}

}  // namespace

QStringList qtNameFilters(std::string_view filter)
{
    const QStringList parts = common::fromBytes(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = caseBlindPatterns(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        const QString description = descriptionWithoutPatterns(parts[i]);
        const QString shown = patterns.join(QLatin1Char(' '));
        filters << (description.isEmpty() ? shown
                                          : description + QStringLiteral(" (") + shown + QLatin1Char(')'));
    }
    return filters;
}

}  // namespace common
