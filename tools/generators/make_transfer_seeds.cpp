// Writes seed inputs for the transfer fuzzer into the folder given as the only
// argument: whole downloads recorded from the simulated instrument, with
// silences between the bytes where the instrument waited, so that the fuzzer
// starts from transfers that reach every state.
#include <cstdio>
#include <fstream>
#include <string>

#include "logfetch/download/transfer_engine.h"
#include "logfetch/download/transfer_fuzz_input.h"
#include "logfetch/testing/fake_clock.h"
#include "logfetch/testing/recording_transfer_world.h"
#include "logfetch/testing/simulated_instrument.h"

namespace {

using testing_support::InstrumentScript;

std::string record(const InstrumentScript& script)
{
    namespace fuzz = logfetch::fuzz;
    constexpr std::uint8_t kStart = 20;  // ten seconds before midnight
    std::string input(1, static_cast<char>(kStart));
    testing_support::SimulatedInstrument instrument(script);
    testing_support::RecordingTransferWorld world;
    world.onSend = [&](std::uint8_t byte) { instrument.received(byte); };
    testing_support::FakeClock clock(fuzz::startTimeOfDay(kStart));
    logfetch::TransferEngine engine(world, clock);
    engine.start();
    for (int quiet = 0; engine.running() && quiet < 80;) {
        if (const auto byte = instrument.nextByte()) {
            fuzz::appendReceived(input, std::string(1, static_cast<char>(*byte)));
            clock.advance(1);
            engine.byteReceived(*byte);
            quiet = 0;
        } else {
            fuzz::appendSilence(input, 10);
            clock.advance(10 * fuzz::kSilenceStepMilliseconds);
            engine.nothingReceived();
            quiet += 10;
        }
    }
    return input;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_transfer_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    InstrumentScript whole;
    whole.textLines = {"K7RX", "LOG 2"};
    whole.data = testing_support::makeDataLog(2 * 1024 + 300);
    InstrumentScript boundary;
    boundary.data = testing_support::makeDataLog(1024);
    InstrumentScript silent = whole;
    silent.silentAfter = 1500;
    InstrumentScript badCheck = whole;
    badCheck.badCheckByteBlock = 1;
    InstrumentScript noClosing = whole;
    noClosing.closingByte = false;
    int index = 0;
    for (const InstrumentScript* script : {&whole, &boundary, &silent, &badCheck, &noClosing}) {
        std::ofstream out(folder + "/seed-" + std::to_string(++index), std::ios::binary);
        out << record(*script);
        if (!out) {
            std::fprintf(stderr, "make_transfer_seeds: cannot write into %s\n", folder.c_str());
            return 1;
        }
    }
    return 0;
}
