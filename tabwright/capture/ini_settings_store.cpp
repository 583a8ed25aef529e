#include "tabwright/capture/ini_settings_store.h"

#include "common/core/single_byte_text.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

namespace tabwright {

namespace {

QString keyPath(std::string_view section, std::string_view key)
{
    return common::fromBytes(section) + QLatin1Char('/') + common::fromBytes(key);
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

void IniSettingsStore::write(std::string_view application, std::string_view section, std::string_view key,
                             std::string_view value)
{
    QSettings file(QString::fromStdString(fileOf(application)), QSettings::IniFormat);
    file.setValue(keyPath(section, key), common::fromBytes(value));
    file.sync();
}

}  // namespace tabwright
