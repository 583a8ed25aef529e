#include "logfetch/download/copy_download.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace logfetch {

namespace {

// Qt says "Unknown error" for some writes the system refused (a full disk
// while a file is replaced): the system's own reason is given then.
std::string reasonOf(const QFileDevice& file, int systemError = 0)
{
    if (systemError != 0 && file.errorString() == QStringLiteral("Unknown error"))
        return std::strerror(systemError);
    return file.errorString().toLocal8Bit().toStdString();
}

// Writes the bytes to an open file and passes them on to the system; the
// reason when it failed.
template <typename File>
std::optional<std::string> writeAll(File& file, const QByteArray& bytes)
{
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush())
        return reasonOf(file, errno);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> copyDownload(const std::string& tempFilePath, const std::string& targetPath)
{
    QFile source(QString::fromLocal8Bit(tempFilePath));
    if (!source.open(QIODevice::ReadOnly))
        return "cannot read " + tempFilePath + ": " + reasonOf(source);
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return "cannot read " + tempFilePath + ": " + reasonOf(source);

    // A target that exists but is no regular file (a device) cannot be
    // renamed over: it is written as it is.
    const QFileInfo existing(QString::fromLocal8Bit(targetPath));
    if (existing.exists() && !existing.isFile() && !existing.isDir()) {
        QFile target(existing.filePath());
        if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return reasonOf(target);
        std::optional<std::string> failure = writeAll(target, bytes);
        target.close();
        return failure;
    }
    QSaveFile target(existing.filePath());
    // A writable file in a folder that takes no new files is still replaced.
    target.setDirectWriteFallback(true);
    if (!target.open(QIODevice::WriteOnly))
        return reasonOf(target);
    if (std::optional<std::string> failure = writeAll(target, bytes)) {
        target.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!target.commit())
        return reasonOf(target, errno);
    return std::nullopt;
}

}  // namespace logfetch
