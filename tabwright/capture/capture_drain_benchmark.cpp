// How fast a backlog of received text drains into a real headless Calc through the run
// control, and the longest the event loop waits meanwhile (the longest tick). Reports
// cells/s and longest_tick_ms per instrument shape.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/files/capture_journal.h"
#include "tabwright/files/serial_port_source.h"
#include "tabwright/testing/cell_count.h"
#include "tabwright/testing/headless_calc_factory.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBacklogBytes = 1 << 20;

// A port that has received the whole backlog.
class BacklogPort : public serial::SerialPort {
public:
    explicit BacklogPort(std::string backlog) : backlog_(std::move(backlog)) {}
    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void open() override { open_ = true; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void clearBuffers() override {}
    std::string takePendingText() override { return std::exchange(backlog_, {}); }
    int takeByte() override { return -1; }
    bool sendByte(std::uint8_t) override { return open_; }
    void setBytesArrivedHandler(std::function<void()>) override {}
    void setLinkLostHandler(std::function<void(const serial::PortError&)>) override {}

private:
    std::string backlog_;
    bool open_ = false;
};

class SilentView : public tabwright::RunView, public tabwright::RunTimer {
public:
    void showRun(const tabwright::RunPicture&) override {}
    void bringWindowToFront() override {}
    void setTimerEnabled(bool enabled) override { timerOn = enabled; }
    bool timerOn = false;
};

std::string k7rxLines()
{
    std::string text;
    for (int index = 0; text.size() < kBacklogBytes; ++index) {
        char line[96];
        std::snprintf(line, sizeof line, "%d %04d :: 12-08-2026 05:%02d:%02d = %d (RAW)  %d (C)\r\n",
                      index % 10, index % 10000, index / 60 % 60, index % 60, 40 + index % 23,
                      21 + index % 3);
        text += line;
    }
    return text;
}

// Sixteen readings, then the three empty lines that close a block.
std::string vq480Blocks()
{
    std::string text;
    while (text.size() < kBacklogBytes) {
        for (int reading = 0; reading < 16; ++reading)
            text += "9999\r\n";
        text += "\r\n\r\n\r\n";
    }
    return text;
}

void drain(benchmark::State& state, const std::string& backlog)
{
    const double cells = static_cast<double>(testing_support::cellsOf(backlog));
    testing_support::TempFolder root;
    testing_support::HeadlessCalcFactory calcs(root, PROJECT_DATA_DIR);
    BacklogPort port(backlog);
    tabwright::SerialPortSource source(port);
    testing_support::NoonClock clock;
    SilentView view;
    testing_support::ScriptedPrompter prompter;
    tabwright::CaptureJournal journal(root.file("data"));
    tabwright::CaptureRun run(
        tabwright::CaptureRunParts{calcs, source, clock, view, view, prompter, journal});
    for (auto _ : state) {
        if (!run.start()) {
            state.SkipWithError("the capture did not start");
            return;
        }
        Clock::duration longestTick{};
        Clock::duration firstTick{};
        const auto began = Clock::now();
        int ticks = 0;
        do {
            const auto tickStart = Clock::now();
            run.tick([] {});
            const auto tick = Clock::now() - tickStart;
            longestTick = std::max(longestTick, tick);
            if (ticks == 0)
                firstTick = tick;
            ++ticks;
        } while (view.timerOn && run.bytesWaiting() > 0);
        const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
        if (run.excelBlocked())
            state.SkipWithError("a write failed");
        state.SetIterationTime(seconds);
        state.counters["cells"] = cells;
        state.counters["cells/s"] = cells / seconds;
        state.counters["ticks"] = ticks;
        state.counters["longest_tick_ms"] = std::chrono::duration<double, std::milli>(longestTick).count();
        state.counters["first_tick_ms"] = std::chrono::duration<double, std::milli>(firstTick).count();
        run.stop();
    }
    run.quitSpreadsheet();
}

void K7rxLines(benchmark::State& state)
{
    drain(state, k7rxLines());
}
void Vq480Blocks(benchmark::State& state)
{
    drain(state, vq480Blocks());
}

BENCHMARK(K7rxLines)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Vq480Blocks)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
