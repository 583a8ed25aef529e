#include "tabwright/capture/journal_replay_source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tabwright {

namespace {

std::optional<std::string> fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return std::nullopt;
    return std::move(text).str();
}

}  // namespace

JournalFiles readJournalFiles(const std::string& journalPath)
{
    errno = 0;
    auto journal = fileText(journalPath);
    if (!journal)
        throw std::runtime_error("cannot read " + journalPath + ": " +
                                 (errno != 0 ? std::strerror(errno) : "read error"));
    const std::string readsPath = journalPath + std::string(kReadsSuffix);
    std::error_code error;
    if (const auto type = std::filesystem::status(readsPath, error).type();
        type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found)
        return JournalFiles{std::move(*journal), std::nullopt, error ? error.message() : "not a plain file"};
    errno = 0;
    JournalFiles files{std::move(*journal), fileText(readsPath)};
    if (!files.reads && errno != ENOENT)
        files.readsUnreadable = errno != 0 ? std::strerror(errno) : "read error";
    return files;
}

JournalReplaySource::JournalReplaySource(JournalFiles files, TimeOfDay& fallback)
    : files_(std::move(files)), fallback_(fallback)
{
}

void JournalReplaySource::open()
{
    taken_ = 0;
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
    reads_ = parseJournalReads(*files_.reads, size());
    if (reads_.damage)
        warnings_.push_back("The reads file is damaged at " + *reads_.damage +
                            ": the text after its last sound line is written at once, with the times of "
                            "the reads before it.");
    else if (!reads_.stop)
        warnings_.emplace_back(
            "The run did not end with Stop (the program or the computer stopped): the "
            "journal is replayed up to its last byte on the disk.");
}

std::optional<std::int64_t> JournalReplaySource::writtenBeforeNextRead() const
{
    if (nextRead_ >= reads_.reads.size())
        return std::nullopt;
    return reads_.reads[nextRead_].written;
}

std::string JournalReplaySource::takePendingText()
{
    if (!hasMore())
        return {};
    std::size_t end = files_.journal.size();
    if (nextRead_ < reads_.reads.size())
        end = static_cast<std::size_t>(reads_.reads[nextRead_++].offset);
    std::string text = files_.journal.substr(taken_, end - taken_);
    taken_ = end;
    return text;
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
