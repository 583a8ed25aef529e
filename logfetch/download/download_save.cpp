#include "logfetch/download/download_save.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

#include "common/core/single_byte_text.h"
#include "common/core/letter_case.h"
#include "logfetch/download/temp_file.h"

namespace logfetch {

namespace {

std::string reasonOf(const QFileDevice& file)
{
    return file.errorString().toLocal8Bit().toStdString();
}

// Writes the bytes to an open file and closes it; the reason when it failed.
template <typename File>
std::optional<std::string> writeAll(File& file, const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size() || !file.flush())
        return reasonOf(file);
    return std::nullopt;
}

}  // namespace

common::SplitPath defaultSaveTarget(std::string_view programFolder)
{
    return {common::joinPath(programFolder, ""), std::string(kDefaultBinName)};
}

common::SplitPath proposedSaveTarget(std::string_view lastBinFile, std::string_view programFolder)
{
    return lastBinFile.empty() ? defaultSaveTarget(programFolder) : common::splitPath(lastBinFile);
}

bool isTheTempFile(const std::string& folder, std::string_view fileName, const std::string& programFolder)
{
    if (common::lowerCase(fileName) != kTempFileName)
        return false;
    std::error_code error;
    const bool same = std::filesystem::equivalent(folder, programFolder, error);
    if (!error)
        return same;
    return std::filesystem::weakly_canonical(folder, error) == std::filesystem::weakly_canonical(programFolder, error);
}

std::optional<std::string> copyDownload(const std::string& tempFilePath, const std::string& targetPath)
{
    QFile source(common::pathText(tempFilePath));
    if (!source.open(QIODevice::ReadOnly))
        return "cannot read " + tempFilePath + ": " + reasonOf(source);
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return "cannot read " + tempFilePath + ": " + reasonOf(source);

    // A target that exists but is no regular file (a device) cannot be
    // renamed over: it is written as it is.
    const QFileInfo existing(common::pathText(targetPath));
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
    if (!target.commit())
        return reasonOf(target);
    return std::nullopt;
}

}  // namespace logfetch
