#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tabwright/capture/journal_reads.h"
#include "tabwright/capture/text_source.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// A journal and its reads file, as read from the disk.
struct JournalFiles {
    std::string journal;
    std::optional<std::string> reads;  // none when there is no reads file or it cannot be read
    std::string readsUnreadable{};     // why a reads file that is there could not be read
};

// Reads JOURNAL and JOURNAL.reads. Throws std::runtime_error "cannot read PATH: REASON"
// when the journal cannot be read; a reads file that cannot be read counts as none, with
// the reason.
JournalFiles readJournalFiles(const std::string& journalPath);

// A capture's text taken again from its journal: in the pieces the run read it, as its
// reads file tells, and then whatever the journal holds beyond the last read told (all of
// it for a journal without a reads file). Its clock answers a block stamp with the time
// the run's clock gave for the same line; failing that, with the time of the read that
// brought the text, and failing that (no reads file) with `fallback`.
class JournalReplaySource : public TextSource {
public:
    JournalReplaySource(JournalFiles files, TimeOfDay& fallback);

    // Reads the reads file; never throws.
    void open() override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    // The next read, or the rest of the journal; empty once all was taken.
    std::string takePendingText() override;
    // A journal never goes away.
    void setLinkLostHandler(std::function<void()>) override {}

    // Whether text is left to take.
    bool hasMore() const { return open_ && taken_ < files_.journal.size(); }
    // Where the run had written every line before when the next read came; none when the
    // next piece is the rest beyond the reads told, written all at once.
    std::optional<std::int64_t> writtenBeforeNextRead() const;
    std::int64_t bytesTaken() const { return static_cast<std::int64_t>(taken_); }
    std::int64_t size() const { return static_cast<std::int64_t>(files_.journal.size()); }

    // The clock for the parser; `lineOffset` tells where the line being written starts.
    TimeOfDay& stampClock(std::function<std::int64_t()> lineOffset);

    // What the user should know about the times and the end of this replay, one sentence
    // each: no reads file, a damaged one, a run that did not end with Stop.
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    class StampClock : public TimeOfDay {
    public:
        explicit StampClock(JournalReplaySource& source) : source_(source) {}
        std::int32_t millisecondsSinceMidnight() override;
        std::function<std::int64_t()> lineOffset;

    private:
        JournalReplaySource& source_;
    };

    JournalFiles files_;
    TimeOfDay& fallback_;
    JournalReads reads_;
    bool open_ = false;
    std::size_t taken_ = 0;
    std::size_t nextRead_ = 0;
    std::vector<std::string> warnings_;
    StampClock stampClock_{*this};
};

}  // namespace tabwright
