#include "logfetch/download/temp_file.h"

#include <QString>

namespace logfetch {

TempFile::TempFile(std::string path, common::Prompter& prompter)
    : path_(std::move(path)), prompter_(prompter), file_(QString::fromLocal8Bit(path_))
{
}

bool TempFile::restart()
{
    file_.close();
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed("create");
    return true;
}

bool TempFile::write(std::int64_t offset, std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (!file_.isOpen() || !file_.seek(offset) || file_.write(bytes.data(), size) != size || !file_.flush())
        return failed("write");
    return true;
}

void TempFile::close()
{
    file_.close();
}

bool TempFile::failed(const char* doing)
{
    const std::string reason = file_.errorString().toLocal8Bit().toStdString();
    file_.close();
    prompter_.showMessage("Cannot " + std::string(doing) + " the download file " + path_ + ": " + reason);
    return false;
}

}  // namespace logfetch
