// Pushes 1 MiB through a pseudo-terminal into the take-one-byte operation,
// and measures the processor time an open port costs while the line is idle
// (and after its cable was pulled, where a port that repeats its error would
// spin).
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <string>

#include "serial/qt_serial_port.h"
#include "testing/cpu_time.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMebibyte = 1024 * 1024;
constexpr int kPort = 1;

using testing_support::processCpuSeconds;

struct Line {
    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument instrument;
    serial::QtSerialPort port;

    Line()
    {
        testing_support::ensureCoreApplication();
        mapping.map(kPort, instrument.devicePath());
        port.setPortNumber(kPort);
        port.open();
    }
};

void BM_TakeByteOneMebibyte(benchmark::State& state)
{
    Line line;
    std::string payload(kMebibyte, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7 + 3);
    for (auto _ : state) {
        std::size_t sent = 0;
        std::size_t taken = 0;
        std::uint64_t sum = 0;
        while (taken < payload.size()) {
            if (sent < payload.size())
                sent += line.instrument.trySend(std::string_view(payload).substr(sent, 16384));
            for (int byte = line.port.takeByte(); byte >= 0; byte = line.port.takeByte()) {
                sum += static_cast<std::uint64_t>(byte);
                ++taken;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * payload.size()));
}
BENCHMARK(BM_TakeByteOneMebibyte)->Unit(benchmark::kMillisecond)->UseRealTime();

// The port waits in the event loop, as a window does, for 5 s.
void idleFiveSeconds(benchmark::State& state, bool pullCable)
{
    Line line;
    int arrivals = 0;
    line.port.setBytesArrivedHandler([&] { ++arrivals; });
    if (pullCable) {
        line.instrument.pullCable();
        testing_support::runEventsUntil([&] { return !line.port.isOpen(); });
    }
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuSeconds();
        testing_support::runEventsFor(5s);
        cpu = processCpuSeconds() - before;
    }
    state.counters["cpu_ms_in_5s"] = cpu * 1000.0;
    state.counters["arrivals"] = arrivals;
}

void BM_IdleOpenPortFiveSeconds(benchmark::State& state)
{
    idleFiveSeconds(state, false);
}
BENCHMARK(BM_IdleOpenPortFiveSeconds)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IdleAfterCablePulledFiveSeconds(benchmark::State& state)
{
    idleFiveSeconds(state, true);
}
BENCHMARK(BM_IdleAfterCablePulledFiveSeconds)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
