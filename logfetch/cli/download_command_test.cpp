#include "logfetch/cli/download_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>

#include "logfetch/download/download_port.h"
#include "logfetch/download/temp_file.h"
#include "serial/qt_serial_port.h"
#include "logfetch/testing/bin_builder.h"
#include "testing/event_loop.h"
#include "logfetch/testing/fake_clock.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "testing/temp_folder.h"

namespace logfetch {
namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;
using testing_support::InstrumentScript;
using testing_support::makeDataLog;
using testing_support::PtyInstrumentRunner;
using testing_support::readFile;

constexpr int kPort = 4;

std::string counts(int blocks, std::size_t bytes)
{
    return "Download Finished. Number of Blocks = " + std::to_string(blocks) +
           ". Number of Bytes = " + std::to_string(bytes) + "\n";
}

// The command over a real pseudo-terminal, with the simulated instrument at
// its far end as fast as the line takes it.
class DownloadCommandOverPty : public testing::Test {
protected:
    DownloadCommandOverPty()
    {
        testing_support::ensureCoreApplication();
        mapping.map(kPort, pty.devicePath());
        options.portText = std::to_string(kPort);
        options.outputPath = work.file("run7.bin");
    }

    // Runs the command; the instrument starts once the port is open.
    int run(std::optional<InstrumentScript> script = std::nullopt)
    {
        DownloadCommand command(options, program.path(), port, clock, out, err);
        if (script)
            QTimer::singleShot(0, [&] { runner.play(*script); });
        if (cancelAfter)
            QTimer::singleShot(*cancelAfter, [&] { command.cancel(); });
        QTimer::singleShot(20s, [&] { command.cancel(); });  // a hung test ends
        return command.run();
    }
    std::string tempFile() const { return readFile(program.file(kTempFileName)); }
    std::string output() const { return readFile(options.outputPath); }

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    testing_support::TempFolder program;
    testing_support::TempFolder work;
    serial::QtSerialPort port;
    testing_support::FakeClock clock;
    std::ostringstream out;
    std::ostringstream err;
    DownloadOptions options;
    std::optional<std::chrono::milliseconds> cancelAfter;
    PtyInstrumentRunner runner{pty, PtyInstrumentRunner::Pace::AsFastAsPossible};
};

TEST_F(DownloadCommandOverPty, WholeDownloadIntoANewFile)
{
    InstrumentScript script;
    script.textLines = {"K7RX DATA LOGGER"};
    script.data = makeDataLog(3 * 1024 + 500);
    EXPECT_EQ(run(script), 0) << err.str();

    EXPECT_EQ(output(), script.data);
    EXPECT_EQ(tempFile(), script.data);  // kept for a later save
    EXPECT_EQ(out.str(), counts(4, 3572));
    EXPECT_THAT(err.str(), HasSubstr("Have the instrument start downloading\n"));
    EXPECT_THAT(err.str(), HasSubstr("Instrument: K7RX DATA LOGGER\n"));
    EXPECT_THAT(err.str(), HasSubstr("Block Received:  3\n"));
    EXPECT_THAT(err.str(), HasSubstr("Saved in " + options.outputPath));
    EXPECT_THAT(err.str(), Not(HasSubstr("Download Finished")));
    EXPECT_TRUE(runner.done()) << testing::PrintToString(runner.faults());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadCommandOverPty, ExistingOutputIsKeptWithoutForceAndReplacedWithIt)
{
    testing_support::writeText(options.outputPath, "earlier log");
    testing_support::writeText(program.file(kTempFileName), "earlier download");
    EXPECT_EQ(run(), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(), HasSubstr(options.outputPath + " exists already and is kept; use --force"));
    EXPECT_EQ(output(), "earlier log");
    EXPECT_EQ(tempFile(), "earlier download");  // no download was started
    EXPECT_EQ(out.str(), "");

    options.force = true;
    InstrumentScript script;
    script.data = makeDataLog(2000);
    EXPECT_EQ(run(script), 0) << err.str();
    EXPECT_EQ(output(), script.data);
}

TEST_F(DownloadCommandOverPty, BadCheckByteSavesThePartialFileAndFails)
{
    InstrumentScript script;
    script.data = makeDataLog(3 * 1024 + 10);
    script.badCheckByteBlock = 2;
    EXPECT_EQ(run(script), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(), HasSubstr("serial port checksum error\n"));
    EXPECT_THAT(err.str(), HasSubstr("The download is incomplete"));
    EXPECT_EQ(out.str(), counts(2, 2048));
    EXPECT_EQ(output(), script.data.substr(0, 2048));
}

TEST_F(DownloadCommandOverPty, PortThatCannotBeOpenedIsToldWithWhatTheSystemFound)
{
    mapping.map(9, work.file("no-such-tty"));
    options.portText.reset();
    testing_support::writeText(program.file("serialport.cfg"), "9\r\n");
    EXPECT_EQ(run(), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(), StartsWith("Error: COM port #9 is not available.  Please change and try again.\n"));
    EXPECT_THAT(err.str(), HasSubstr(work.file("no-such-tty")));
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
}

TEST_F(DownloadCommandOverPty, CancelWhileWaitingSavesNothing)
{
    cancelAfter = 300ms;
    EXPECT_EQ(run(), DownloadCommand::kFailed);
    EXPECT_EQ(out.str(), counts(0, 0));
    EXPECT_THAT(err.str(), HasSubstr("Cancelled: nothing was saved; what was received stays in " +
                                     program.file(kTempFileName)));
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
    EXPECT_TRUE(std::filesystem::exists(program.file(kTempFileName)));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadCommandOverPty, FailedCopyLeavesTheDownloadInTheTemporaryFile)
{
    options.outputPath = work.file("missing-folder/run7.bin");
    InstrumentScript script;
    script.data = makeDataLog(1500);
    EXPECT_EQ(run(script), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(), HasSubstr("Cannot save the download to " + options.outputPath + ": "));
    EXPECT_THAT(err.str(), HasSubstr("It stays in " + program.file(kTempFileName)));
    EXPECT_EQ(tempFile(), script.data);
}

TEST_F(DownloadCommandOverPty, OutputThatIsTheTemporaryFileNeedsNoCopy)
{
    testing_support::writeText(program.file(kTempFileName), "earlier download");
    options.outputPath = program.file(kTempFileName);
    InstrumentScript script;
    script.data = makeDataLog(1500);
    EXPECT_EQ(run(script), 0) << err.str();
    EXPECT_EQ(tempFile(), script.data);
}

}  // namespace
}  // namespace logfetch
