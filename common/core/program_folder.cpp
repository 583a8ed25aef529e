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

bool isInstalledProgram(const std::string& executablePath)
{
    const QFileInfo executable(QString::fromLocal8Bit(executablePath.c_str()));
    return QFileInfo(executable.absolutePath() + QStringLiteral("/../share/") + executable.fileName())
        .isDir();
}

std::string programFolder()
{
    const bool installed =
        isInstalledProgram(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString());
    return chooseProgramFolder(
        installed ? std::string() : QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toLocal8Bit().toStdString());
}

}  // namespace common
