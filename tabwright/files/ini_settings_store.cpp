#include "tabwright/files/ini_settings_store.h"

#include "common/core/single_byte_text.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace tabwright {

namespace {

QString keyPath(std::string_view section, std::string_view key)
{
    return common::fromBytes(section) + QLatin1Char('/') + common::fromBytes(key);
}

// The text after "key=" in `section` of an INI file, as written there (QSettings would
// split it at its commas).
std::optional<std::string> valueAsWritten(const QString& iniText, std::string_view section,
                                          std::string_view key)
{
    const QString wantedSection = common::fromBytes(section);
    const QString wantedKey = common::fromBytes(key);
    bool inSection = false;
    for (const QString& rawLine : iniText.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2);
            inSection = name == wantedSection || QUrl::fromPercentEncoding(name.toUtf8()) == wantedSection;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == wantedKey)
            return line.mid(equals + 1).trimmed().toStdString();
    }
    return std::nullopt;
}

}  // namespace

std::string IniSettingsStore::fileOf(std::string_view application)
{
    // The path is made here rather than by QSettings' own per-user scope,
    // which fixes the configuration folder once per process.
    const QString name = common::fromBytes(application);
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
            name + QLatin1Char('/') + name + QStringLiteral(".ini"))
        .toStdString();
}

std::optional<std::string> IniSettingsStore::read(std::string_view application, std::string_view section,
                                                  std::string_view key) const
{
    const QSettings file(QString::fromStdString(fileOf(application)), QSettings::IniFormat);
    const QVariant value = file.value(keyPath(section, key));
    if (!value.isValid())
        return std::nullopt;
    return common::toBytes(value.toString());
}

std::optional<std::string> IniSettingsStore::readRaw(std::string_view application, std::string_view section,
                                                     std::string_view key) const
{
    const QString path = QString::fromStdString(fileOf(application));
    const QSettings file(path, QSettings::IniFormat);
    const QVariant value = file.value(keyPath(section, key));
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() != QMetaType::QStringList)
        return value.toString().toStdString();
    QFile text(path);
    if (!text.open(QIODevice::ReadOnly))
        return std::nullopt;
    return valueAsWritten(QString::fromUtf8(text.readAll()), section, key);
}

void IniSettingsStore::write(std::string_view application, std::string_view section, std::string_view key,
                             std::string_view value)
{
    QSettings file(QString::fromStdString(fileOf(application)), QSettings::IniFormat);
    file.setValue(keyPath(section, key), common::fromBytes(value));
    file.sync();
}

}  // namespace tabwright
