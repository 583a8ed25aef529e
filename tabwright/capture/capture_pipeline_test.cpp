#include "tabwright/capture/capture_pipeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "tabwright/capture/spreadsheet_row_sink.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace {

using tabwright::CaptureParser;
using tabwright::CapturePipeline;
using testing::ElementsAre;

// A source whose pending text the test sets.
class TextOnly : public tabwright::TextSource {
public:
    void open() override {}
    bool isOpen() const override { return true; }
    void close() override {}
    std::string takePendingText() override { return std::exchange(received, {}); }
    void setLinkLostHandler(std::function<void(const std::string&)>) override {}

    std::string received;
};

// A queue in memory that counts what was read back.
class QueueInMemory : public tabwright::TextQueue {
public:
    void append(std::string_view bytes) override { text.append(bytes); }
    std::int64_t size() const override { return static_cast<std::int64_t>(text.size()); }
    std::size_t readAt(std::int64_t offset, std::size_t count, std::string& into) override
    {
        const auto from = static_cast<std::size_t>(offset);
        const std::size_t taken = std::min(count, text.size() - from);
        into.append(text, from, taken);
        return taken;
    }
    std::string text;
};

struct Noon : tabwright::TimeOfDay {
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// Writes rows into a recording sheet and notes the most text the parser held meanwhile.
class WatchingRows : public tabwright::RowSink {
public:
    explicit WatchingRows(const CaptureParser& parser) : parser_(parser) {}
    void writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values) override
    {
        cells_.writeRow(row, firstColumn, values);
        mostHeld = std::max(mostHeld, parser_.receiveBuffer().size());
    }
    testing_support::RecordingSpreadsheet sheet;
    std::size_t mostHeld = 0;

private:
    tabwright::SpreadsheetRowSink cells_{sheet};
    const CaptureParser& parser_;
};

struct Pipe {
    TextOnly source;
    QueueInMemory queue;
    Noon clock;
    CaptureParser parser{clock};
    CapturePipeline pipeline{source, queue, parser};
    WatchingRows rows{parser};

    Pipe()
    {
        parser.startRun();
        pipeline.restart();
    }
    void drain()
    {
        while (pipeline.lineWaiting())
            ASSERT_FALSE(pipeline.writeLines(rows, std::chrono::steady_clock::now()));
    }
};

TEST(CapturePipeline, ReadIncomingTextQueuesTheSourcesTextAndCountsIt)
{
    Pipe pipe;
    pipe.source.received = std::string("ab\0\xff", 4);
    EXPECT_EQ(pipe.pipeline.readIncomingText(), 4);
    EXPECT_EQ(pipe.pipeline.readIncomingText(), 0);  // an empty read is not counted
    pipe.source.received = "cde";
    EXPECT_EQ(pipe.pipeline.readIncomingText(), 3);
    EXPECT_EQ(pipe.queue.text, std::string("ab\0\xff"
                                           "cde",
                                           7));
    EXPECT_EQ(pipe.parser.bytesReceived(), 7);
    EXPECT_EQ(pipe.pipeline.bytesWaiting(), 7);
}

// The cells of `text` parsed in one piece, the way a parser holding all of it writes them.
testing_support::RecordingSpreadsheet wholeParse(const std::string& text)
{
    Noon clock;
    CaptureParser parser(clock);
    parser.startRun();
    parser.append(text);
    testing_support::RecordingSpreadsheet sheet;
    tabwright::SpreadsheetRowSink rows(sheet);
    EXPECT_FALSE(parser.processReceivedText(rows));
    EXPECT_FALSE(parser.writeUnfinishedLine(rows));
    return sheet;
}

TEST(CapturePipeline, ABacklogIsReadAWindowAtATimeWithTheCellsOfAWholeParse)
{
    // Block separators land at every offset around the edges of the parser's windows: a
    // window's edge must never split one into an empty line and a line of its own.
    for (std::size_t shift = 0; shift < 8; ++shift) {
        std::string text(shift, 'x');
        for (int line = 0; text.size() < (std::size_t{640} << 10); ++line) {
            text += std::to_string(line) + "\tA\tB\r\n";
            if (line % 7 == 3)
                text += "\r\n\r\n\r\n";
        }
        text += "unfinished";
        Pipe pipe;
        pipe.source.received = text;
        pipe.pipeline.readIncomingText();
        pipe.drain();
        ASSERT_FALSE(pipe.pipeline.writeEverything(pipe.rows));
        EXPECT_EQ(pipe.rows.sheet.cells, wholeParse(text).cells) << "shift " << shift;
        EXPECT_EQ(pipe.pipeline.bytesWaiting(), 0);
        // The parser held a window of the backlog, never all of it.
        EXPECT_LT(pipe.rows.mostHeld, std::size_t{1} << 20);
    }
}

TEST(CapturePipeline, ALineLongerThanTheWindowIsHeldWhole)
{
    const std::string line(std::size_t{1} << 20, 'a');
    Pipe pipe;
    pipe.source.received = line + "\r\nb\r\n";
    pipe.pipeline.readIncomingText();
    pipe.drain();
    EXPECT_EQ(pipe.rows.sheet.cells.size(), 2u);
    EXPECT_EQ(std::get<std::string>(pipe.rows.sheet.cells.at({1, 1})), line);
}

}  // namespace
