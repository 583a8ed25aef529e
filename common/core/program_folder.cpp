#include "common/core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace common {

std::string chooseProgramFolder(const std::string& executableFolder, const std::string& userDataFolder)
{
    const QFileInfo executable(QString::fromLocal8Bit(executableFolder.c_str()));
    if (executable.isDir() && executable.isWritable())
        return executableFolder;
    QDir().mkpath(QString::fromLocal8Bit(userDataFolder.c_str()));
    return userDataFolder;
}

std::string programFolder()
{
    return chooseProgramFolder(
        QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toLocal8Bit().toStdString());
}

}  // namespace common
