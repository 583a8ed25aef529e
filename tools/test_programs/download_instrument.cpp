// The instrument's side of a data-logger download over a pseudo-terminal, for the fault runs
// of tools/faults.sh. Usage: download_instrument LOG_BYTES SENT_FILE [PULL_AFTER]
// Prints the device to open, then waits for a line on stdin before the user "starts the
// transfer". Writes the data log it sends to SENT_FILE. With PULL_AFTER it stops sending once
// that many bytes are on the line and pulls the cable when the program has read them. Prints "sent N" (bytes
// on the line) when done or pulled, then keeps the line until stdin closes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "testing/file_contents.h"
#include "testing/pty_instrument.h"

int main(int argc, char* argv[])
{
    using namespace std::chrono_literals;
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: download_instrument LOG_BYTES SENT_FILE [PULL_AFTER]\n";
        return 2;
    }
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(std::strtoull(argv[1], nullptr, 10));
    testing_support::writeText(argv[2], script.data);
    const std::size_t pullAfter = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 0;

    testing_support::PtyInstrument pty;
    std::cout << pty.devicePath() << std::endl;
    std::string line;
    if (!std::getline(std::cin, line))
        return 1;
    {
        testing_support::PtyInstrumentRunner runner(
            pty, testing_support::PtyInstrumentRunner::Pace::AsFastAsPossible);
        runner.play(script);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline && !runner.done() &&
               (pullAfter == 0 || runner.bytesSent() < pullAfter))
            std::this_thread::sleep_for(1ms);
        runner.stop();
        std::cout << "sent " << runner.bytesSent() << std::endl;
    }
    if (pullAfter != 0) {
        // Pulled once the program has read what is on the line: bytes still in the
        // pseudo-terminal would go with the cable and count as lost by the program.
        pty.waitUntilWaitingForProgram(0, 5s);
        pty.pullCable();
    }
    while (std::getline(std::cin, line)) {
    }
    return 0;
}
