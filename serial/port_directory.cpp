#include "serial/port_directory.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <map>

#include "serial/serial_port.h"

namespace serial {

namespace {

std::string canonicalPathOf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return (canonical.isEmpty() ? path : canonical).toStdString();
}

// Keys are matched ignoring case and values trimmed, as people write them by hand.
std::map<int, SerialDevice> readExplicitMapping()
{
    std::map<int, SerialDevice> mapping;
    QSettings file(QString::fromStdString(portMappingFile()), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Ports"));
    static const QRegularExpression comKey(QStringLiteral("^COM([0-9]{1,2})$"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const QString& key : file.childKeys()) {
        const QRegularExpressionMatch match = comKey.match(key.trimmed());
        if (!match.hasMatch())
            continue;
        const int number = match.captured(1).toInt();
        const QString path = file.value(key).toString().trimmed();
        if (number < kFirstPortNumber || number > kLastPortNumber || path.isEmpty())
            continue;
        SerialDevice device;
        device.path = path.toStdString();
        device.canonicalPath = canonicalPathOf(path);
        device.exists = QFileInfo::exists(path);
        mapping[number] = device;
    }
    return mapping;
}

std::vector<SerialDevice> presentDevices()
{
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation().toStdString();
        device.canonicalPath = canonicalPathOf(info.systemLocation());
        device.description = info.description().toStdString();
        device.usb = info.hasVendorIdentifier() || info.portName().startsWith(QLatin1String("ttyUSB")) ||
                     info.portName().startsWith(QLatin1String("ttyACM"));
        devices.push_back(device);
    }
    return devices;
}

}  // namespace

std::string portMappingFile()
{
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/veldan-qorivex/serial-ports.ini"))
        .toStdString();
}

std::vector<PortEntry> listPorts()
{
    return assignPortNumbers(readExplicitMapping(), presentDevices());
}

std::optional<PortEntry> findPort(int number)
{
    const std::vector<PortEntry> entries = listPorts();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [number](const PortEntry& e) { return e.number == number; });
    if (found == entries.end())
        return std::nullopt;
    return *found;
}

}  // namespace serial
