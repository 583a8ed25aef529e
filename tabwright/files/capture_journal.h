#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QDateTime>

#include "tabwright/files/journal_file.h"
#include "tabwright/capture/run_journal.h"

namespace tabwright {

// The raw text of each capture run, kept in the per-user data folder until the user
// deletes it: every byte the capture takes, exactly as received, in
// DATA/journal/YYYY-MM-DD_HH-MM-SS.txt. Beside it, its reads file (NAME.txt.reads, see
// journal_reads.h) keeps when each read came and what the parser's clock said, so that a
// replay writes exactly the cells of the run.
//
// The journal is the run's queue: the parser reads the bytes back from the file at its own
// pace. Nothing here throws into the capture: a journal that cannot be written tells it
// once (takeFailure), and the bytes it could not keep wait in memory for the parser.
class CaptureJournal final : public RunJournal {
public:
    // `dataFolder`: the per-user data folder (the program passes AppDataLocation).
    explicit CaptureJournal(std::string dataFolder);
    ~CaptureJournal() override;
    CaptureJournal(const CaptureJournal&) = delete;
    CaptureJournal& operator=(const CaptureJournal&) = delete;
    CaptureJournal(CaptureJournal&&) = delete;
    CaptureJournal& operator=(CaptureJournal&&) = delete;

    // The name for a run that begins at `startedAt`: runNameOf(startedAt), with "-2", "-3",
    // ... added when a journal of that name exists (a second run in the same second).
    std::string unusedRunName(const QDateTime& startedAt) const override;
    // Starts the journal of the run named `runName`, DATA/journal/RUN.txt, closing the one
    // before. The folder is created, owner-only, when missing. A name already taken gets
    // "-2", "-3", ... before ".txt": nothing is ever overwritten. False when the journal
    // cannot be created; takeFailure tells why.
    bool open(const std::string& runName) override;
    // The queue: appends go to the journal file (or, once it failed, to memory).
    void append(std::string_view bytes) override;
    // The bytes appended since the open.
    std::int64_t size() const override { return size_; }
    std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) override;
    // The reads file's records: a read that has just been appended (every line before
    // `written` was written when it came), a block stamp's time, the Stop.
    void recordRead(std::int64_t written, std::int32_t milliseconds) override;
    void recordStampTime(std::int64_t lineOffset, std::int32_t milliseconds) override;
    void recordStop(bool unfinishedWritten) override;
    // Passes the bytes appended since the last flush on to the disk; at every tick.
    void flush() override;
    // At Stop: flushes and closes the file; appends until the next open are dropped.
    void close() override;

    // "The capture journal cannot be written: PATH: REASON", the first time it is asked
    // for after the journal failed; nothing otherwise.
    std::optional<std::string> takeFailure() override;

    // DATA/journal, where every run's journal is.
    const std::string& folder() const override { return folder_; }
    // The journal of the current or last run (the name it was meant to have, when it
    // could not be created); empty before the first open.
    const std::string& path() const override { return path_; }
    // The journal as a summary names it: PATH, "PATH (incomplete: REASON)" when it
    // failed after it was made, "none: REASON" when it could not be made.
    std::string summary() const override;

private:
    // Makes the reads file of the journal just made; false when its name is taken.
    bool openReads();

    void closeReader();

    std::string folder_;
    std::string path_;
    JournalFile file_;
    JournalFile reads_;
    int reader_ = -1;        // the journal opened for reading back
    std::int64_t size_ = 0;  // bytes appended since the open
    // The bytes from spillStart_ on, which the file did not keep (or cannot give back).
    std::int64_t spillStart_ = 0;
    std::string spill_;
    bool spilling_ = false;
};

// A run's name, YYYY-MM-DD_HH-MM-SS of its start (local time): its journal and its working
// copy are named after it, so a Calc window's title tells the runs apart.
std::string runNameOf(const QDateTime& startedAt);

// The program's per-user data folder (~/.local/share/Tabwright), whose "journal"
// folder holds the journals.
std::string perUserDataFolder();

}  // namespace tabwright
