#include "logfetch/cli/download_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "logfetch/download/download_lock.h"
#include "logfetch/download/download_port.h"
#include "logfetch/download/temp_file.h"
#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/fake_clock.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "serial/qt_serial_port.h"
#include "testing/event_loop.h"
#include "testing/file_rights.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
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
    EXPECT_TRUE(runner.waitUntilDone(std::chrono::seconds(5))) << testing::PrintToString(runner.faults());
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
    EXPECT_THAT(err.str(),
                StartsWith("Error: COM port #9 is not available.  Please change and try again.\n"));
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
    // The folder goes while the download runs, after it was found at the start.
    std::filesystem::create_directory(work.file("missing-folder"));
    QTimer::singleShot(0, [&] { std::filesystem::remove_all(work.file("missing-folder")); });
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

TEST_F(DownloadCommandOverPty, ASecondDownloadIsRefusedAndLeavesTheFirstOnesDataAlone)
{
    testing_support::writeText(program.file(kTempFileName), "the first download's data");
    DownloadLock running(program.file(kTempFileName));
    ASSERT_EQ(running.take("the Download window, port 3"), std::nullopt);
    EXPECT_EQ(run(), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(), StartsWith("Another download is running: the Download window, port 3 (process "));
    EXPECT_EQ(tempFile(), "the first download's data");
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(port.isOpen());
}

// Whatever ended the transfer early, the good file given with --force stays.
TEST_F(DownloadCommandOverPty, AnIncompleteDownloadIsSavedBesideAnExistingFileNeverOverIt)
{
    struct Case {
        int badBlock;
        std::size_t received;
    };
    for (const Case& c : {Case{3, 3072}, Case{1, 1024}}) {
        SCOPED_TRACE(c.received);
        testing_support::writeText(options.outputPath, "good log");
        testing_support::writeText(work.file("run7-incomplete.bin"), "an earlier incomplete one");
        options.force = true;
        InstrumentScript script;
        script.data = makeDataLog(3 * 1024 + 10);
        script.badCheckByteBlock = c.badBlock;
        err.str("");
        EXPECT_EQ(run(script), DownloadCommand::kFailed);
        EXPECT_EQ(output(), "good log") << err.str();
        EXPECT_EQ(readFile(work.file("run7-incomplete.bin")), "an earlier incomplete one");
        EXPECT_EQ(readFile(work.file("run7-incomplete-2.bin")).size(), c.received) << err.str();
        EXPECT_THAT(err.str(),
                    HasSubstr("What was received is saved in " + work.file("run7-incomplete-2.bin") + "; " +
                              options.outputPath + " is kept as it was."));
        std::filesystem::remove(work.file("run7-incomplete-2.bin"));
    }
}

TEST_F(DownloadCommandOverPty, AnOutputFolderThatTakesNoFileIsToldBeforeThePortOpens)
{
    std::filesystem::create_directory(work.file("read-only"));
    std::filesystem::permissions(work.file("read-only"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    struct Case {
        std::string output;
        std::string reason;
    };
    for (const Case& c : {Case{work.file("missing/run7.bin"), "No such file or directory"},
                          Case{work.file("read-only/run7.bin"), "Permission denied"}}) {
        SCOPED_TRACE(c.output);
        options.outputPath = c.output;
        cancelAfter = 1s;  // a download that started anyway ends
        err.str("");
        testing_support::PermissionBitsHold bitsHold;
        EXPECT_EQ(run(), DownloadCommand::kFailed);
        EXPECT_THAT(err.str(), StartsWith("Cannot save in the folder of " + c.output + ": " + c.reason));
        EXPECT_THAT(err.str(), Not(HasSubstr("Have the instrument start downloading")));
    }
}

TEST_F(DownloadCommandOverPty, AFullDiskWhileReplacingAFileGivesTheSystemsReason)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    std::filesystem::create_symlink("/dev/full", work.file("full.bin"));
    options.outputPath = work.file("full.bin");
    options.force = true;
    InstrumentScript script;
    script.data = makeDataLog(1500);
    EXPECT_EQ(run(script), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(),
                HasSubstr("Cannot save the download to " + options.outputPath + ": No space left on device"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full")) << "written, never replaced";
}

TEST_F(DownloadCommandOverPty, ASavedPortTextThatIsNoNumberSaysHowToChooseAPort)
{
    options.portText.reset();
    testing_support::writeText(program.file("serialport.cfg"), "COM3\r\n");
    EXPECT_EQ(run(), DownloadCommand::kFailed);
    EXPECT_THAT(err.str(),
                StartsWith("Error: COM port #COM3 is not available.  Please change and try again.\n"));
    EXPECT_THAT(err.str(),
                HasSubstr("\"COM3\" is not a COM port number from 1 to 16. Choose the port in Serial "
                          "Port Setup"));
    EXPECT_THAT(err.str(), Not(HasSubstr("COM0")));
}

}  // namespace
}  // namespace logfetch
