#include "tabwright/capture/ini_settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

namespace tabwright {

namespace {

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString keyPath(std::string_view section, std::string_view key)
{
    return latin1(section) + QLatin1Char('/') + latin1(key);
}

}  // namespace

std::string IniSettingsStore::fileOf(std::string_view application)
{
    // The path is made here rather than by QSettings' own per-user scope,
    // which fixes the configuration folder once per process.
    const QString name = latin1(application);
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".ini"))
        .toStdString();
}

std::optional<std::string> IniSettingsStore::read(std::string_view application,
                                                  std::string_view section,
                                                  std::string_view key) const
{
    const QSettings file(QString::fromStdString(fileOf(application)), QSettings::IniFormat);
    const QVariant value = file.value(keyPath(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toLatin1().toStdString();
}

void IniSettingsStore::write(std::string_view application, std::string_view section,
                             std::string_view key, std::string_view value)
{
    QSettings file(QString::fromStdString(fileOf(application)), QSettings::IniFormat);
    file.setValue(keyPath(section, key), latin1(value));
    file.sync();
}

}  // namespace tabwright
