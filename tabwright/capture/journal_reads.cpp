#include "tabwright/capture/journal_reads.h"

#include <charconv>

#include "common/core/time_of_day.h"

namespace tabwright {

std::string readLine(std::int64_t offset, std::int64_t written, std::int32_t milliseconds)
{
    return "r " + std::to_string(offset) + ' ' + std::to_string(written) + ' ' +
           std::to_string(milliseconds) + '\n';
}

std::string clockLine(std::int64_t offset, std::int32_t milliseconds)
{
    return "t " + std::to_string(offset) + ' ' + std::to_string(milliseconds) + '\n';
}

std::string stopLine(std::int64_t offset, bool unfinishedWritten)
{
    return "s " + std::to_string(offset) + (unfinishedWritten ? " 1\n" : " 0\n");
}

namespace {

// Splits a line into its space-separated whole numbers after its one-letter kind; nothing
// when a field is not a whole number of 0 or more.
std::optional<std::vector<std::int64_t>> numbersOf(std::string_view fields)
{
    std::vector<std::int64_t> numbers;
    while (!fields.empty()) {
        if (fields.front() != ' ')
            return std::nullopt;
        fields.remove_prefix(1);
        std::int64_t number = 0;
        const auto [end, error] = std::from_chars(fields.data(), fields.data() + fields.size(), number);
        if (error != std::errc() || end == fields.data() || number < 0)
            return std::nullopt;
        numbers.push_back(number);
        fields.remove_prefix(static_cast<std::size_t>(end - fields.data()));
    }
    return numbers;
}

bool isTimeOfDay(std::int64_t milliseconds)
{
    return milliseconds < common::kMillisecondsPerDay;
}

// Each takes one kind of line's numbers, as takeLine does a whole line.
std::string takeRead(const std::vector<std::int64_t>& numbers, std::int64_t journalSize, JournalReads& reads)
{
    if (numbers.size() != 3)
        return "a read needs three numbers";
    const JournalRead read{numbers[0], numbers[1], static_cast<std::int32_t>(numbers[2])};
    const std::int64_t lastOffset = reads.reads.empty() ? 0 : reads.reads.back().offset;
    const std::int64_t lastWritten = reads.reads.empty() ? 0 : reads.reads.back().written;
    if (read.offset <= lastOffset || read.offset > journalSize)
        return "a read that does not end after the one before and within the journal";
    if (read.written < lastWritten || read.written > lastOffset)
        return "a read after lines that had not arrived";
    if (!isTimeOfDay(numbers[2]))
        return "a time of day out of range";
    reads.reads.push_back(read);
    return {};
}

std::string takeStampTime(const std::vector<std::int64_t>& numbers, std::int64_t lastOffset,
                          JournalReads& reads)
{
    if (numbers.size() != 2)
        return "a stamp time needs two numbers";
    if (numbers[0] >= lastOffset || !isTimeOfDay(numbers[1]))
        return "a stamp time for text that had not arrived, or out of range";
    reads.stampTimes[numbers[0]] = static_cast<std::int32_t>(numbers[1]);
    return {};
}

std::string takeStop(const std::vector<std::int64_t>& numbers, std::int64_t lastOffset, JournalReads& reads)
{
    if (numbers.size() != 2 || numbers[1] > 1)
        return "a Stop needs an offset and 0 or 1";
    if (numbers[0] != lastOffset)
        return "a Stop where the reads did not end";
    reads.stop = JournalStop{numbers[0], numbers[1] == 1};
    return {};
}

// What is wrong with `line` given what was read before it; empty when it is sound, after
// adding it to `reads`.
std::string takeLine(std::string_view line, std::int64_t journalSize, JournalReads& reads)
{
    if (line.empty())
        return "an empty line";
    const auto numbers = numbersOf(line.substr(1));
    if (!numbers)
        return "not a line of numbers";
    const std::int64_t lastOffset = reads.reads.empty() ? 0 : reads.reads.back().offset;
    if (reads.stop)
        return "a line after the Stop";
    switch (line.front()) {
    case 'r':
        return takeRead(*numbers, journalSize, reads);
    case 't':
        return takeStampTime(*numbers, lastOffset, reads);
    case 's':
        return takeStop(*numbers, lastOffset, reads);
    default:
        return "an unknown kind of line";
    }
}

}  // namespace

JournalReads parseJournalReads(std::string_view text, std::int64_t journalSize)
{
    JournalReads reads;
    if (!text.starts_with(kReadsHeader)) {
        reads.damage = "line 1: not a reads file";
        return reads;
    }
    text.remove_prefix(kReadsHeader.size());
    for (int number = 2; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string problem =
            end == std::string_view::npos ? "cut short" : takeLine(text.substr(0, end), journalSize, reads);
        if (!problem.empty()) {
            reads.damage = "line " + std::to_string(number) + ": " + problem;
            break;
        }
        text.remove_prefix(end + 1);
    }
    return reads;
}

}  // namespace tabwright
