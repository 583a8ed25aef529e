// How fast the line parser turns received text into row writes, into a sink that
// only counts them: K7RX-style tagged lines, VQ-480-style blocks, and 10 MB that
// never gets its CR LF, taken in 100-byte reads.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "tabwright/capture/capture_parser.h"

namespace {

class CountingSink : public tabwright::RowSink {
public:
    void writeRow(int, int, std::span<const tabwright::CellValue> values) override
    {
        ++rows;
        cells += values.size();
    }
    std::size_t rows = 0;
    std::size_t cells = 0;
};

class NoonClock : public tabwright::TimeOfDay {
public:
    std::int32_t millisecondsSinceMidnight() override { return 12 * 3600 * 1000; }
};

// Feeds `reads` to a run, one parse per read, as the ticks of a capture do. With
// `freshParser` false one parser serves every run, as in the program, which keeps
// its buffer's memory from one run to the next; with true each run pays for
// growing its buffer, page faults included.
void parseReads(benchmark::State& state, const std::vector<std::string>& reads, bool freshParser = false)
{
    std::size_t bytes = 0;
    for (const std::string& read : reads)
        bytes += read.size();
    NoonClock clock;
    CountingSink sink;
    std::optional<tabwright::CaptureParser> parser;
    for (auto _ : state) {
        if (freshParser || !parser)
            parser.emplace(clock);
        parser->stopRun();
        parser->startRun();
        for (const std::string& read : reads) {
            parser->append(read);
            parser->processReceivedText(sink);
        }
        benchmark::DoNotOptimize(parser->receiveBuffer().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["cells_per_s"] =
        benchmark::Counter(static_cast<double>(sink.cells), benchmark::Counter::kIsRate);
}

constexpr std::size_t kTextBytes = 10 * 1000 * 1000;

// Tagged lines as the K7RX sends them, taken in 4 KB reads.
void BM_K7rxLines(benchmark::State& state)
{
    std::string text;
    for (int index = 0; text.size() < kTextBytes; ++index)
        text += std::to_string(index % 10) + " " + std::to_string(1000 + index % 9000) +
                " :: 12-07-2026 05:10:26 = " + std::to_string(40 + index % 60) + " (RAW)  " +
                std::to_string(20 + index % 30) + " (C)\r\n";
    std::vector<std::string> reads;
    for (std::size_t at = 0; at < text.size(); at += 4096)
        reads.push_back(text.substr(at, 4096));
    parseReads(state, reads);
}
BENCHMARK(BM_K7rxLines)->Unit(benchmark::kMillisecond);

// Blocks of 16 plain lines of three TAB-separated readings, each closed by the
// separator, one block per read.
void BM_Vq480Blocks(benchmark::State& state)
{
    std::string block = "\r\n\r\n\r\n";
    for (int line = 0; line < 16; ++line)
        block += "9999\t" + std::to_string(1000 + line) + "\t0.25\r\n";
    const std::vector<std::string> reads(kTextBytes / block.size(), block);
    parseReads(state, reads);
}
BENCHMARK(BM_Vq480Blocks)->Unit(benchmark::kMillisecond);

// A device that never ends its line: each read must cost its own 100 bytes only,
// not the megabytes already waiting.
void BM_TenMegabytesWithoutLineEnd(benchmark::State& state)
{
    std::string read(100, 'x');
    read[50] = '\r';  // a CR without its LF is text
    read[70] = '\n';
    const std::vector<std::string> reads(kTextBytes / read.size(), read);
    parseReads(state, reads, state.range(0) != 0);
}
BENCHMARK(BM_TenMegabytesWithoutLineEnd)
    ->ArgName("fresh_parser")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
