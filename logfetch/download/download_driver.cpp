#include "logfetch/download/download_driver.h"

#include <string>

#include "common/core/log_info.h"
#include "logfetch/download/download_log.h"

namespace logfetch {

// The engine's world: the port, the temporary file, the view and the prompter.
class DownloadDriver::World : public TransferWorld {
public:
    World(serial::SerialPort& port, TempFile& file, DownloadView& view, common::Prompter& prompter)
        : port_(port), file_(file), view_(view), prompter_(prompter)
    {
    }

    // A byte that cannot go out means the link is gone; its handler ends the
    // transfer.
    void sendByte(std::uint8_t byte) override { port_.sendByte(byte); }
    bool restartTempFile() override { return file_.restart(); }
    bool writeTempFile(std::int64_t offset, std::string_view bytes) override
    {
        return file_.write(offset, bytes);
    }
    void closeTempFile() override { file_.close(); }
    void setInstructions(std::string_view text) override { view_.setInstructions(text); }
    void setStatus(std::string_view text) override { view_.setStatus(text); }
    void addTextLine(std::string_view line) override { view_.addTextLine(line); }
    void showMessage(std::string_view text) override { prompter_.showMessage(text); }

private:
    serial::SerialPort& port_;
    TempFile& file_;
    DownloadView& view_;
    common::Prompter& prompter_;
};

DownloadDriver::DownloadDriver(serial::SerialPort& port, DownloadView& view, common::Prompter& prompter,
                               Clock& clock, std::string tempFilePath, QObject* parent)
    : QObject(parent),
      port_(port),
      prompter_(prompter),
      tempFile_(std::move(tempFilePath), prompter),
      world_(std::make_unique<World>(port, tempFile_, view, prompter)),
      engine_(*world_, clock)
{
    idleTimer_.setInterval(kIdleTurnMilliseconds);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { takeTurns(true); });
}

DownloadDriver::~DownloadDriver()
{
    port_.setBytesArrivedHandler({});
    port_.setLinkLostHandler({});
}

void DownloadDriver::start()
{
    if (started_)
        return;
    started_ = true;
    port_.setBytesArrivedHandler([this] { takeTurns(false); });
    port_.setLinkLostHandler([this](const serial::PortError& error) {
        lostLink_ = error;
        takeTurns(false);
    });
    inTurn_ = true;  // the start may show a message box too
    engine_.start();
    inTurn_ = false;
    idleTimer_.start();
    // Bytes that came before the start are taken now, not at the next arrival.
    QMetaObject::invokeMethod(
        this, [this] { takeTurns(false); }, Qt::QueuedConnection);
}

void DownloadDriver::cancel()
{
    engine_.cancel();
    QMetaObject::invokeMethod(
        this, [this] { takeTurns(false); }, Qt::QueuedConnection);
}

void DownloadDriver::takeTurns(bool idle)
{
    if (inTurn_ || ended_ || !started_)
        return;
    inTurn_ = true;
    while (engine_.running()) {
        const int byte = port_.takeByte();
        if (byte < 0)
            break;
        engine_.byteReceived(static_cast<std::uint8_t>(byte));
    }
    // The bytes that came before the link went were taken above; the
    // transfer then ends with what the file holds.
    if (lostLink_ && engine_.running()) {
        common::logInfo(downloadSerialLog(), std::string("the link went away: ") + lostLink_->what());
        prompter_.showMessage(lostLink_->hint());
        engine_.abandon();
    } else if (idle) {
        engine_.nothingReceived();
    }
    inTurn_ = false;
    if (!engine_.running())
        end();
}

void DownloadDriver::end()
{
    if (ended_)
        return;
    ended_ = true;
    idleTimer_.stop();
    port_.setBytesArrivedHandler({});
    port_.setLinkLostHandler({});
    inTurn_ = true;
    engine_.finish();
    inTurn_ = false;
    port_.close();
    emit finished();
}

}  // namespace logfetch
