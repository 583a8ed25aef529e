#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabwright {

// What a replay needs beside a journal to write the cells the run wrote, kept in the
// reads file "JOURNAL.reads" as text lines (offsets count the journal's bytes from 0):
//   tabwright reads 1                    the first line
//   r OFFSET WRITTEN MS                  a read: the journal held OFFSET bytes after it, the
//                                        run had written every line before WRITTEN when it
//                                        came, and the clock said MS
//   t OFFSET MS                          the clock said MS for the block stamp of the line
//                                        at OFFSET (a later line for the same place wins)
//   s OFFSET UNFINISHED                  Stop at OFFSET; UNFINISHED 1 when the unfinished
//                                        last line was written, 0 when the workbook was gone
inline constexpr std::string_view kReadsHeader = "tabwright reads 1\n";
inline constexpr std::string_view kReadsSuffix = ".reads";

std::string readLine(std::int64_t offset, std::int64_t written, std::int32_t milliseconds);
std::string clockLine(std::int64_t offset, std::int32_t milliseconds);
std::string stopLine(std::int64_t offset, bool unfinishedWritten);

struct JournalRead {
    std::int64_t offset;   // journal bytes once the read was taken
    std::int64_t written;  // every line before this had been written when it came
    std::int32_t milliseconds;
};

struct JournalStop {
    std::int64_t offset;
    bool unfinishedWritten;
};

// A reads file as far as it could be read.
struct JournalReads {
    std::vector<JournalRead> reads;
    std::map<std::int64_t, std::int32_t> stampTimes;  // by the stamped line's offset
    std::optional<JournalStop> stop;
    // Why reading stopped early ("line 7: ..."): the lines before it are kept.
    std::optional<std::string> damage;
};

// Reads the text of a reads file beside a journal of `journalSize` bytes. Never throws:
// a line that is cut short, malformed, out of order or beyond the journal ends the
// reading, and `damage` says where and why.
JournalReads parseJournalReads(std::string_view text, std::int64_t journalSize);

}  // namespace tabwright
