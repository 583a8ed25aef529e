#pragma once

#include <functional>
#include <string>

#include "serial/serial_port.h"
#include "tabwright/capture/text_source.h"

namespace tabwright {

// The instrument's text as the serial port receives it. The port's number is set by its
// owner; a closed or lost port gives no text. The port's own errors stay here: opening
// throws a SourceError with the port's advice, and a lost link is told with its reason.
class SerialPortSource final : public TextSource {
public:
    explicit SerialPortSource(serial::SerialPort& port) : port_(port) {}

    void open() override;
    bool isOpen() const override { return port_.isOpen(); }
    void close() override;
    std::string takePendingText() override { return port_.takePendingText(); }
    void setLinkLostHandler(std::function<void(const std::string&)> handler) override;
    // The port's arrival notice: a port read on a thread of its own gives it once plenty
    // waits.
    void setTextWaitingHandler(const std::function<void()>& handler) override
    {
        port_.setBytesArrivedHandler(handler);
    }

private:
    serial::SerialPort& port_;
};

// What a run is told when the port went away: which port, why it may have happened, and
// what to do.
std::string lostPortReason(const serial::PortError& error);

}  // namespace tabwright
