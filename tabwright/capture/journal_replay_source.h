#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tabwright/capture/journal_reads.h"
#include "tabwright/capture/text_queue.h"
#include "tabwright/capture/text_source.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// A journal, read where it lies, and its reads file.
struct JournalFiles {
    std::shared_ptr<RecordedText> journal;
    std::optional<std::string> reads;  // none when there is no reads file or it cannot be read
    std::string readsUnreadable{};     // why a reads file that is there could not be read
};

// A capture's text taken again from its journal: in the pieces the run read it, as its
// reads file tells, and then whatever the journal holds beyond the last read told (all of
// it for a journal without a reads file). Its clock answers a block stamp with the time
// the run's clock gave for the same line; failing that, with the time of the read that
// brought the text, and failing that (no reads file) with `fallback`.
//
// The journal is also the replay's queue: the text it gives is there already, so the
// parser reads it back from the journal itself and nothing is copied.
class JournalReplaySource : public TextSource, public TextQueue {
public:
    JournalReplaySource(JournalFiles files, TimeOfDay& fallback);

    // Reads the reads file; never throws.
    void open() override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    // The next piece of the next read, or of the rest of the journal: at most kPieceBytes,
    // so memory stays small however large a read is; empty once all was taken.
    std::string takePendingText() override;
    // A journal never goes away.
    void setLinkLostHandler(std::function<void(const std::string&)>) override {}
    // Where the run had written every line before when the next read came; none in the
    // middle of a read and for the rest beyond the reads told, written all at once.
    std::optional<std::int64_t> writtenBeforeNextText() const override;
    bool hasMoreText() const override { return open_ && taken_ < journalSize(); }

    // The queue: the text taken so far, read back from the journal.
    void append(std::string_view bytes) override;
    std::int64_t size() const override { return queued_; }
    std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) override;

    std::int64_t bytesTaken() const { return taken_; }
    std::int64_t journalSize() const { return files_.journal->size(); }

    static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

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
    std::int64_t taken_ = 0;
    std::int64_t queued_ = 0;
    std::int64_t readEnd_ = 0;  // where the read being taken ends
    std::size_t nextRead_ = 0;
    std::vector<std::string> warnings_;
    StampClock stampClock_{*this};
};

}  // namespace tabwright
