// Feeds arbitrary text to the line parser in random pieces, with writes that fail
// now and then, and checks what the spreadsheet receives. Input: one byte seeding
// the piece sizes, one byte seeding the failing writes, then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "tabwright/capture/capture_parser.h"

namespace {

using Value = std::variant<std::string, double>;
using Cells = std::map<std::pair<int, int>, Value>;

void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "capture_parse_fuzzer: %s\n", what);
    std::abort();
}

class FixedClock : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 45'296'789; }
};

// A small generator, so that one seed byte gives a whole sequence.
class Random {
public:
    explicit Random(std::uint8_t seed) : state_(0x9e3779b97f4a7c15u ^ seed) {}
    std::uint32_t next(std::uint32_t below)
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ % below);
    }

private:
    std::uint64_t state_;
};

// Checks every row write, keeps the cells, and fails the writes it is told to
// after writing only some of their cells, as a spreadsheet written cell by cell does.
class CheckingSink : public tabwright::RowSink {
public:
    CheckingSink(bool hasTaggedLines, Random* failures) : hasTaggedLines_(hasTaggedLines), failures_(failures)
    {
    }

    void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override
    {
        check(row >= 1 && firstColumn >= 1, "row or column below 1");
        check(!values.empty(), "empty row write");
        const int lastColumn = firstColumn + static_cast<int>(values.size()) - 1;
        if (!hasTaggedLines_)
            check(lastColumn <= std::max(tabwright::kColumnLimit, firstColumn),
                  "plain field past column 256");
        std::vector<Value> written;
        for (const auto& value : values) {
            if (const auto* text = std::get_if<std::string_view>(&value))
                written.emplace_back(std::string(*text));
            else
                written.emplace_back(std::get<double>(value));
        }
        const bool fail = failures_ && failures_->next(4) == 0;
        const auto size = static_cast<std::uint32_t>(values.size());
        const std::size_t count = fail ? failures_->next(size + 1) : size;
        for (std::size_t i = 0; i < count; ++i)
            cells[{row, firstColumn + static_cast<int>(i)}] = written[i];
        if (fail)
            throw tabwright::SpreadsheetError(tabwright::SpreadsheetFailure::Failed, "told to fail");
        writes.emplace_back(row, firstColumn, std::move(written));
    }

    Cells cells;
    std::vector<std::tuple<int, int, std::vector<Value>>> writes;

private:
    bool hasTaggedLines_;
    Random* failures_;
};

struct Outcome {
    Cells cells;
    std::string rest;
    int currentRow;
    int blockColumn;
};

// Parses `pieces` one per tick; a failed parse is retried at once until it passes.
Outcome parse(const std::vector<std::string_view>& pieces, CheckingSink& sink)
{
    FixedClock clock;
    tabwright::CaptureParser parser(clock);
    parser.startRun();
    for (std::string_view piece : pieces) {
        parser.append(piece);
        while (parser.processReceivedText(sink)) {
        }
    }
    check(parser.currentRow() >= 1 && parser.blockColumn() >= 1, "row or column below 1 after the parse");
    return {sink.cells, std::string(parser.receiveBuffer()), parser.currentRow(), parser.blockColumn()};
}

bool sameOutcome(const Outcome& a, const Outcome& b)
{
    return a.cells == b.cells && a.rest == b.rest && a.currentRow == b.currentRow &&
           a.blockColumn == b.blockColumn;
}

// True when a piece boundary falls inside a block separator of the text: that
// separator is then seen as empty lines, by design.
bool splitsASeparator(std::string_view text, const std::vector<std::size_t>& boundaries)
{
    for (std::size_t at = text.find("\r\n\r\n\r\n"); at != std::string_view::npos;
         at = text.find("\r\n\r\n\r\n", at + 1))
        for (std::size_t boundary : boundaries)
            if (boundary > at && boundary < at + 6)
                return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    Random pieceSizes(data[0]);
    Random failures(data[1]);
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const bool hasTaggedLines = text.find("::") != std::string_view::npos;

    CheckingSink whole(hasTaggedLines, nullptr);
    const Outcome once = parse({text}, whole);

    std::vector<std::string_view> pieces;
    std::vector<std::size_t> boundaries;
    const std::uint32_t longest = 1 + data[0] % 97;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = std::min<std::size_t>(1 + pieceSizes.next(longest), text.size() - at);
        pieces.push_back(text.substr(at, length));
        at += length;
        boundaries.push_back(at);
    }
    CheckingSink inPieces(hasTaggedLines, nullptr);
    const Outcome pieced = parse(pieces, inPieces);
    CheckingSink failing(hasTaggedLines, &failures);
    const Outcome retried = parse(pieces, failing);

    if (!splitsASeparator(text, boundaries)) {
        check(sameOutcome(once, pieced), "pieces give other cells than one read");
        check(whole.writes == inPieces.writes, "pieces give other row writes than one read");
        check(sameOutcome(once, retried), "retries after failed writes give other cells");
    } else {
        check(sameOutcome(pieced, retried), "retries after failed writes give other cells");
    }
    return 0;
}
