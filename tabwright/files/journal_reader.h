#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tabwright/capture/journal_replay_source.h"
#include "tabwright/capture/text_queue.h"

namespace tabwright {

// A file read where it lies, at any offset, through its own descriptor. Its size is the
// file's when it was opened: text appended later is not part of it.
class FileText final : public RecordedText {
public:
    // Throws std::runtime_error "cannot read PATH: REASON".
    explicit FileText(const std::string& path);
    ~FileText() override;
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;
    FileText(FileText&&) = delete;
    FileText& operator=(FileText&&) = delete;

    std::int64_t size() const override { return size_; }
    std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) override;

private:
    std::string path_;
    int descriptor_ = -1;
    std::int64_t size_ = 0;
};

// Opens JOURNAL to be read where it lies and reads JOURNAL.reads. Throws
// std::runtime_error "cannot read PATH: REASON" when the journal cannot be opened; a reads
// file that cannot be read counts as none, with the reason.
JournalFiles readJournalFiles(const std::string& journalPath);

}  // namespace tabwright
