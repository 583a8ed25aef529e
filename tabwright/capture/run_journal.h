#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QDateTime>

#include "tabwright/capture/text_queue.h"

namespace tabwright {

// The run's journal as the run control sees it: the queue that keeps every byte the source
// gave, as it came, and beside it what a replay needs to write the run's cells again (when
// each read came, where the sheet was, the block stamps' times, the Stop). Nothing here
// throws into the run: a journal that cannot be kept tells it once (takeFailure) and still
// gives back every byte it took.
class RunJournal : public TextQueue {
public:
    // The name for a run that begins at `startedAt`, taken by no journal yet.
    virtual std::string unusedRunName(const QDateTime& startedAt) const = 0;
    // Starts the journal of the run named `runName`, closing the one before; the queue
    // starts empty. False when it could not be made; takeFailure tells why.
    virtual bool open(const std::string& runName) = 0;
    // A read that has just been appended: every line before `written` was written when it
    // came, and the clock said `milliseconds`.
    virtual void recordRead(std::int64_t written, std::int32_t milliseconds) = 0;
    // The clock said `milliseconds` for the block stamp of the line at `lineOffset`.
    virtual void recordStampTime(std::int64_t lineOffset, std::int32_t milliseconds) = 0;
    // Stop, and whether the unfinished last line was written.
    virtual void recordStop(bool unfinishedWritten) = 0;
    // Passes what was appended and recorded on to the disk; at every tick.
    virtual void flush() = 0;
    // At Stop; appends until the next open are dropped.
    virtual void close() = 0;

    // The failure's message the first time it is asked for after the journal failed.
    virtual std::optional<std::string> takeFailure() = 0;
    // Where every run's journal is, and the current or last run's journal.
    virtual const std::string& folder() const = 0;
    virtual const std::string& path() const = 0;
    // The journal as a summary names it (the path, or why it is incomplete or missing).
    virtual std::string summary() const = 0;
};

}  // namespace tabwright
