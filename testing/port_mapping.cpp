#include "testing/port_mapping.h"

#include <QSettings>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "serial/port_directory.h"

namespace testing_support {

TemporaryPortMapping::TemporaryPortMapping()
{
    if (const char* value = std::getenv("XDG_CONFIG_HOME"))
        previous_ = value;
    ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
}

TemporaryPortMapping::~TemporaryPortMapping()
{
    if (previous_)
        ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

void TemporaryPortMapping::map(int number, const std::string& device)
{
    QSettings file(QString::fromStdString(serial::portMappingFile()), QSettings::IniFormat);
    file.setValue(QStringLiteral("Ports/COM%1").arg(number), QString::fromStdString(device));
    file.sync();
}

void TemporaryPortMapping::writeFile(const std::string& text)
{
    const std::filesystem::path path = serial::portMappingFile();
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace testing_support
