#include "logfetch/cli/download_command.h"

#include <QEventLoop>
#include <QFileInfo>

#include <filesystem>

#include "common/core/output_folder.h"
#include "common/core/path_text.h"
#include "common/core/terminal_text.h"
#include "logfetch/cli/terminal_download_report.h"
#include "logfetch/download/copy_download.h"
#include "logfetch/download/download_driver.h"
#include "logfetch/download/download_lock.h"
#include "logfetch/download/download_port.h"
#include "logfetch/download/temp_file.h"
#include "logfetch/ports/serialport_cfg.h"

namespace logfetch {

namespace {

QString qtPath(const std::string& path)
{
    return QString::fromLocal8Bit(path);
}

// Where an incomplete download goes when the output file exists: beside it,
// under a name that says so and that no file has yet ("run7-incomplete.bin",
// then "run7-incomplete-2.bin" ...). Nothing when all of them are taken.
std::optional<std::string> incompleteNameBeside(const std::string& output)
{
    const std::filesystem::path path(output);
    constexpr int kTries = 99;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        std::string stem = path.stem().string() + "-incomplete";
        if (attempt > 1)
            stem.append("-").append(std::to_string(attempt));
        const std::string candidate = (path.parent_path() / (stem + path.extension().string())).string();
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error)))
            return candidate;
    }
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

bool DownloadCommand::outputCanBeSaved() const
{
    if (!options_.force && !outputIsTempFile() && QFileInfo::exists(qtPath(options_.outputPath))) {
        err_ << options_.outputPath << " exists already and is kept; use --force to replace it." << std::endl;
        return false;
    }
    if (const std::optional<std::string> reason = common::folderRefusesNewFiles(options_.outputPath)) {
        err_ << "Cannot save in the folder of " << options_.outputPath << ": " << *reason << "." << std::endl;
        return false;
    }
    return true;
}

int DownloadCommand::run()
{
    // Told before the instrument sends a byte, not after the whole download.
    if (!outputCanBeSaved())
        return kFailed;
    const std::string portText = options_.portText.value_or(readPortText(programFolder_));
    // Held until the download is saved: no other download may empty the
    // temporary file meanwhile.
    DownloadLock lock(tempFilePath_);
    if (const std::optional<std::string> refusal = lock.take("logfetch download, port " + portText)) {
        err_ << common::terminalText(*refusal) << std::endl;
        return kFailed;
    }
    if (const std::optional<std::string> failure = openDownloadPort(port_, portText)) {
        err_ << common::terminalText(*failure) << std::endl;
        return kFailed;
    }
    return receive();
}

int DownloadCommand::receive()
{
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
        err_ << "Cancelled: nothing was saved; what was received stays in " << tempFilePath_ << "."
             << std::endl;
        return kFailed;
    }
    return save(driver.reachedEnd());
}

int DownloadCommand::save(bool complete)
{
    std::string output = options_.outputPath;
    // An incomplete download never replaces a file: it goes beside it.
    if (!complete && !outputIsTempFile() && QFileInfo::exists(qtPath(output))) {
        const std::optional<std::string> beside = incompleteNameBeside(output);
        if (!beside) {
            err_ << "The download is incomplete and " << output << " is kept; what was received stays in "
                 << tempFilePath_ << "." << std::endl;
            return kFailed;
        }
        output = *beside;
    }
    if (!outputIsTempFile()) {
        if (!options_.force && QFileInfo::exists(qtPath(output))) {
            err_ << output << " appeared during the download and is kept; the download stays in "
                 << tempFilePath_ << "." << std::endl;
            return kFailed;
        }
        if (const std::optional<std::string> reason = copyDownload(tempFilePath_, output)) {
            err_ << "Cannot save the download to " << output << ": " << *reason << ". It stays in "
                 << tempFilePath_ << "." << std::endl;
            return kFailed;
        }
    }
    if (!complete) {
        err_ << "The download is incomplete: it ended before the instrument's end marker. What was received "
                "is saved in "
             << output;
        if (output != options_.outputPath)
            err_ << "; " << options_.outputPath << " is kept as it was";
        err_ << "." << std::endl;
        return kFailed;
    }
    err_ << "Saved in " << output << "." << std::endl;
    return 0;
}

}  // namespace logfetch
