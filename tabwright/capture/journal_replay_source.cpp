#include "tabwright/capture/journal_replay_source.h"

#include <algorithm>
#include <stdexcept>

namespace tabwright {

JournalReplaySource::JournalReplaySource(JournalFiles files, TimeOfDay& fallback)
    : files_(std::move(files)), fallback_(fallback)
{
}

void JournalReplaySource::open()
{
    taken_ = 0;
    queued_ = 0;
    readEnd_ = 0;
    nextRead_ = 0;
    warnings_.clear();
    open_ = true;
    if (!files_.reads) {
        reads_ = {};
        warnings_.push_back((files_.readsUnreadable.empty() ? std::string("The journal has no reads file")
                                                            : "The journal's reads file cannot be read (" +
                                                                  files_.readsUnreadable + ")") +
                            ": its block stamps get the times of this replay.");
        return;
    }
    reads_ = parseJournalReads(*files_.reads, journalSize());
    if (reads_.damage)
        warnings_.push_back("The reads file is damaged at " + *reads_.damage +
                            ": the text after its last sound line is written at once, with the times of "
                            "the reads before it.");
    else if (!reads_.stop)
        warnings_.emplace_back(
            "The run did not end with Stop (the program or the computer stopped): the "
            "journal is replayed up to its last byte on the disk.");
}

std::optional<std::int64_t> JournalReplaySource::writtenBeforeNextText() const
{
    if (taken_ < readEnd_ || nextRead_ >= reads_.reads.size())
        return std::nullopt;
    return reads_.reads[nextRead_].written;
}

std::string JournalReplaySource::takePendingText()
{
    if (!hasMoreText())
        return {};
    if (taken_ >= readEnd_) {
        // The next read begins; past the last read told, the rest of the journal is one.
        readEnd_ = journalSize();
        if (nextRead_ < reads_.reads.size())
            readEnd_ = std::max(reads_.reads[nextRead_++].offset, taken_);
    }
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(readEnd_ - taken_, kPieceBytes));
    std::string text;
    text.reserve(count);
    if (files_.journal->readAt(taken_, count, text) != count)
        throw std::runtime_error("the journal ended before its reads file said");
    taken_ += static_cast<std::int64_t>(count);
    return text;
}

void JournalReplaySource::append(std::string_view bytes)
{
    // What was taken is already in the journal, where the parser reads it back.
    queued_ += static_cast<std::int64_t>(bytes.size());
}

std::size_t JournalReplaySource::readAt(std::int64_t offset, std::size_t count, std::string& into)
{
    const auto available = static_cast<std::size_t>(std::max<std::int64_t>(queued_ - offset, 0));
    return files_.journal->readAt(offset, std::min(count, available), into);
}

TimeOfDay& JournalReplaySource::stampClock(std::function<std::int64_t()> lineOffset)
{
    stampClock_.lineOffset = std::move(lineOffset);
    return stampClock_;
}

std::int32_t JournalReplaySource::StampClock::millisecondsSinceMidnight()
{
    const JournalReads& reads = source_.reads_;
    if (const auto told = reads.stampTimes.find(lineOffset()); told != reads.stampTimes.end())
        return told->second;
    // The read taken last brought the text being written.
    if (source_.nextRead_ > 0)
        return reads.reads[source_.nextRead_ - 1].milliseconds;
    return source_.fallback_.millisecondsSinceMidnight();
}

}  // namespace tabwright
