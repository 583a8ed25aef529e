#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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

    // A recorded source (a journal being replayed) gives its text in the pieces the run
    // read it: before the next piece, the run had written every line that starts before
    // the offset told here. None for a live source, whose text comes when it comes.
    virtual std::optional<std::int64_t> writtenBeforeNextText() const { return std::nullopt; }
    // Whether a recorded source has text left to give; a live source never has text
    // waiting beyond what takePendingText gives.
    virtual bool hasMoreText() const { return false; }
};

}  // namespace tabwright
