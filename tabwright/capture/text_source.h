#pragma once

#include <functional>
#include <string>

namespace tabwright {

// Where a capture's text comes from: the serial port, the emulator window, or a journal
// being replayed. The run control opens it at Start (and again at Resume after the link
// was lost), takes what arrived at every tick, and closes it at Stop.
class TextSource {
public:
    virtual ~TextSource() = default;

    // Throws std::exception (serial::PortError for a port) when the source cannot be opened.
    virtual void open() = 0;
    virtual bool isOpen() const = 0;
    // Never throws; closing a closed source does nothing.
    virtual void close() = 0;
    // The text that arrived since the last call, exactly as the capture is to write it
    // (any transform of the source applied); empty when nothing came.
    virtual std::string takePendingText() = 0;
    // Called when the source goes away during a run (a pulled cable); an empty function
    // removes it.
    virtual void setLinkLostHandler(std::function<void()> handler) = 0;
};

}  // namespace tabwright
