#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tabwright {

// Why a source cannot be opened: what() is a short technical description for the log,
// reason() says in the user's words what is wrong and what to do.
class SourceError : public std::runtime_error {
public:
    SourceError(const std::string& what, std::string reason)
        : std::runtime_error(what), reason_(std::move(reason))
    {
    }
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// Where a capture's text comes from: the serial port, the emulator, or a journal being
// replayed. The run control opens it at Start (and again at Resume after the link was
// lost), takes what arrived at every tick, and closes it at Stop. Nothing else reaches
// the run.
class TextSource {
public:
    virtual ~TextSource() = default;

    // Start has begun and the source will be opened once the workbook is: a source that can
    // keep what it says before it is opened (the emulator) keeps it from now on, so that
    // nothing said while the workbook opens is lost. Closing undoes it. A port, which
    // receives nothing until it is opened, does nothing.
    virtual void prepare() {}
    // Throws SourceError when the source cannot be opened; the source then stays closed.
    virtual void open() = 0;
    virtual bool isOpen() const = 0;
    // Never throws; closing a closed source does nothing.
    virtual void close() = 0;
    // The text that arrived since the last call, exactly as the capture is to write it
    // (any transform of the source applied); empty when nothing came.
    virtual std::string takePendingText() = 0;
    // Called once when the source goes away during a run (a pulled cable, a closed
    // emulator), with the reason in the user's words: what happened and what to do about
    // it. Text that came before the loss is still takeable when it is called. An empty
    // function removes it.
    virtual void setLinkLostHandler(std::function<void(const std::string& reason)> handler) = 0;
    // Called, on the run's thread, when a source that reads ahead on a thread of its own
    // holds plenty of text not yet taken, so that the run takes it at once rather than at
    // its next tick; not again until the text was taken. A source read on the run's own
    // thread never calls it. An empty function removes it.
    virtual void setTextWaitingHandler(const std::function<void()>& /*handler*/) {}

    // A recorded source (a journal being replayed) gives its text in the pieces the run
    // read it: before the next piece, the run had written every line that starts before
    // the offset told here. None for a live source, whose text comes when it comes.
    virtual std::optional<std::int64_t> writtenBeforeNextText() const { return std::nullopt; }
    // Whether a recorded source has text left to give; a live source never has text
    // waiting beyond what takePendingText gives.
    virtual bool hasMoreText() const { return false; }
};

}  // namespace tabwright
