#include "logfetch/cli/download_command.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/core/path_text.h"
#include "logfetch/download/download_driver.h"
#include "common/core/terminal_text.h"
#include "logfetch/download/download_port.h"
#include "logfetch/ports/serialport_cfg.h"
#include "logfetch/download/temp_file.h"
#include "logfetch/cli/terminal_download_report.h"

namespace logfetch {

namespace {

QString qtPath(const std::string& path)
{
    return QString::fromLocal8Bit(path);
}

std::string reasonOf(const QFileDevice& file)
{
    return file.errorString().toLocal8Bit().toStdString();
}

// Replaces `to` with a copy of `from` only once the copy is whole, so a
// failure (folder missing, not writable, disk full) leaves any earlier file
// as it was. Nothing on success, else the reason.
std::optional<std::string> copyReplacing(const std::string& from, const std::string& to)
{
    QFile source(qtPath(from));
    if (!source.open(QIODevice::ReadOnly))
        return "cannot read " + from + ": " + reasonOf(source);
    QSaveFile target(qtPath(to));
    if (!target.open(QIODevice::WriteOnly))
        return reasonOf(target);
    constexpr qint64 kChunk = 64 * 1024;
    while (!source.atEnd()) {
        const QByteArray bytes = source.read(kChunk);
        if (bytes.isEmpty() && source.error() != QFileDevice::NoError)
            return "cannot read " + from + ": " + reasonOf(source);
        if (target.write(bytes) != bytes.size())
            return reasonOf(target);
    }
    if (!target.commit())
        return reasonOf(target);
    return std::nullopt;
}

}  // namespace

DownloadCommand::DownloadCommand(DownloadOptions options, std::string programFolder, serial::SerialPort& port,
                                 Clock& clock, std::ostream& out, std::ostream& err)
    : options_(std::move(options)),
      programFolder_(std::move(programFolder)),
      tempFilePath_(common::joinPath(programFolder_, kTempFileName)),
      port_(port),
      clock_(clock),
      out_(out),
      err_(err)
{
}

bool DownloadCommand::outputIsTempFile() const
{
    const QFileInfo output(qtPath(options_.outputPath));
    const QFileInfo temp(qtPath(tempFilePath_));
    if (output.exists() && temp.exists())
        return output.canonicalFilePath() == temp.canonicalFilePath();
    return output.absoluteFilePath() == temp.absoluteFilePath();
}

void DownloadCommand::cancel()
{
    cancelRequested_ = true;
    if (cancelRunning_)
        cancelRunning_();
}

int DownloadCommand::run()
{
    // Told before the instrument sends a byte, not after the whole download.
    if (!options_.force && !outputIsTempFile() && QFileInfo::exists(qtPath(options_.outputPath))) {
        err_ << options_.outputPath << " exists already and is kept; use --force to replace it." << std::endl;
        return kFailed;
    }
    const std::string portText = options_.portText.value_or(readPortText(programFolder_));
    if (const std::optional<std::string> failure = openDownloadPort(port_, portText)) {
        err_ << common::terminalText(*failure) << std::endl;
        return kFailed;
    }

    TerminalDownloadReport report(out_, err_);
    DownloadDriver driver(port_, report, report, clock_, tempFilePath_);
    report.setFinalCounts([&driver] { return driver.finalCounts(); });
    QEventLoop loop;
    QObject::connect(&driver, &DownloadDriver::finished, &loop, &QEventLoop::quit);
    cancelRunning_ = [&driver] { driver.cancel(); };
    driver.start();
    if (cancelRequested_)
        driver.cancel();
    if (driver.running())
        loop.exec();
    cancelRunning_ = {};

    if (driver.state() == TransferEngine::Cancelled) {
        err_ << "Cancelled: nothing was saved; what was received stays in " << tempFilePath_ << "." << std::endl;
        return kFailed;
    }
    return save(driver.reachedEnd());
}

int DownloadCommand::save(bool complete)
{
    const std::string& output = options_.outputPath;
    if (!outputIsTempFile()) {
        if (!options_.force && QFileInfo::exists(qtPath(output))) {
            err_ << output << " appeared during the download and is kept; the download stays in " << tempFilePath_
                 << "." << std::endl;
            return kFailed;
        }
        if (const std::optional<std::string> reason = copyReplacing(tempFilePath_, output)) {
            err_ << "Cannot save the download to " << output << ": " << *reason << ". It stays in " << tempFilePath_
                 << "." << std::endl;
            return kFailed;
        }
    }
    if (!complete) {
        err_ << "The download is incomplete: it ended before the instrument's end marker. What was received is saved in "
             << output << "." << std::endl;
        return kFailed;
    }
    err_ << "Saved in " << output << "." << std::endl;
    return 0;
}

}  // namespace logfetch
