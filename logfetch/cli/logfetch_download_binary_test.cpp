// The real "logfetch download" program, run as a user runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <QProcess>

#include <csignal>
#include <filesystem>
#include <string>

#include "logfetch/testing/bin_builder.h"
#include "logfetch/testing/pty_instrument_runner.h"
#include "logfetch/testing/simulated_instrument.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/program_output.h"
#include "testing/pty_instrument.h"
#include "testing/temp_folder.h"

namespace {

using testing::HasSubstr;
using testing_support::PtyInstrumentRunner;

constexpr int kPort = 5;
constexpr int kTimeoutMs = 20000;

QString help(const QStringList& arguments)
{
    QProcess program;
    program.start(LOGFETCH_PROGRAM, arguments);
    program.waitForFinished(kTimeoutMs);
    return QString::fromLocal8Bit(program.readAllStandardOutput());
}

TEST(LogfetchDownloadProgram, HelpNamesTheCommandAndItsOptions)
{
    testing_support::ensureCoreApplication();
    EXPECT_THAT(help({"--help"}).toStdString(),
                HasSubstr("download [--port N] [--output FILE.BIN] [--force]"));
    const std::string own = help({"download", "--help"}).toStdString();
    EXPECT_THAT(own, HasSubstr("--port <N>"));
    EXPECT_THAT(own, HasSubstr("--output <FILE.BIN>"));
    EXPECT_THAT(own, HasSubstr("--force"));
}

class LogfetchDownloadOverPty : public testing::Test {
protected:
    explicit LogfetchDownloadOverPty(bool startNow = true)
    {
        testing_support::ensureCoreApplication();
        // A copy of the program in the test's own folder, which becomes its program folder:
        // downloads of tests running side by side must not share one temporary file.
        std::filesystem::copy_file(LOGFETCH_PROGRAM, programCopy);
        mapping.map(kPort, pty.devicePath());  // inherited by the program through XDG_CONFIG_HOME
        program.setWorkingDirectory(QString::fromStdString(work.path()));
        program.setReadChannel(QProcess::StandardError);  // waitForReadyRead waits on it
        if (startNow)
            startDownload();
    }
    void startDownload()
    {
        program.start(QString::fromStdString(programCopy), {"download", "--port", QString::number(kPort)});
    }
    ~LogfetchDownloadOverPty() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
    // Until the program waits for the instrument, its port open and cleared.
    bool waitForInstructions()
    {
        return testing_support::readErrorsUntil(program, errors, "Have the instrument start downloading",
                                                kTimeoutMs);
    }
    std::string finish() { return testing_support::finishProgram(program, errors, kTimeoutMs); }

    testing_support::TemporaryPortMapping mapping;
    testing_support::PtyInstrument pty;
    testing_support::TempFolder work;
    const std::string programCopy = work.file("logfetch");
    QProcess program;
    QByteArray errors;
};

TEST_F(LogfetchDownloadOverPty, DownloadsIntoIdatalogBinOfTheCurrentFolder)
{
    ASSERT_TRUE(waitForInstructions());
    PtyInstrumentRunner runner(pty, PtyInstrumentRunner::Pace::LineSpeed);
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(1024 + 77);
    runner.play(script);
    const std::string counts = finish();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(counts, "Download Finished. Number of Blocks = 2. Number of Bytes = 1101\n");
    EXPECT_EQ(testing_support::readFile(work.file("Idatalog.bin")), script.data);
}

TEST_F(LogfetchDownloadOverPty, CtrlCCancelsAndEndsTheProgramByTheSignal)
{
    ASSERT_TRUE(waitForInstructions());
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    const std::string counts = finish();
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);  // ended by SIGINT, as a shell expects
    EXPECT_EQ(counts, "Download Finished. Number of Blocks = 0. Number of Bytes = 0\n");
    EXPECT_THAT(errors.toStdString(), HasSubstr("Cancelled: nothing was saved"));
    EXPECT_FALSE(std::filesystem::exists(work.file("Idatalog.bin")));
}

// A command line the program cannot use ends with 2 before any port opens.
TEST(LogfetchDownloadProgram, UsageErrorsExitWithTwo)
{
    testing_support::ensureCoreApplication();
    testing_support::TempFolder work;
    const QStringList cases[] = {
        {"download", "--port"},
        {"download", "--port", "1e1"},
        {"download", "--port", "3abc"},
        {"download", "--port", "-1"},
        {"download", "--port", "2147483647"},
        {"download", "--port", "0"},
        {"download", "--port", "17"},
        {"download", "--bogus"},
        {"download", "--output", ""},
        {"convert", "--bogus", "x.BIN"},
    };
    for (const QStringList& arguments : cases) {
        QProcess program;
        program.setWorkingDirectory(QString::fromStdString(work.path()));
        program.start(LOGFETCH_PROGRAM, arguments);
        program.closeWriteChannel();
        ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << arguments.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), 2)
            << arguments.join(' ').toStdString() << ": " << program.readAllStandardError().toStdString();
    }
}

// As "logfetch download | true": standard output is a pipe nobody reads, so the
// final counts meet a closed pipe; the download must still be saved.
class LogfetchDownloadIntoAClosedPipe : public LogfetchDownloadOverPty {
protected:
    LogfetchDownloadIntoAClosedPipe() : LogfetchDownloadOverPty(false)
    {
        program.setChildProcessModifier([] {
            int ends[2];
            if (::pipe(ends) == 0) {
                ::dup2(ends[1], STDOUT_FILENO);
                ::close(ends[0]);
                ::close(ends[1]);
            }
        });
        startDownload();
    }
};

TEST_F(LogfetchDownloadIntoAClosedPipe, TheDownloadIsStillSaved)
{
    ASSERT_TRUE(waitForInstructions());
    PtyInstrumentRunner runner(pty, PtyInstrumentRunner::Pace::AsFastAsPossible);
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(1024 + 77);
    runner.play(script);
    finish();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "ended by SIGPIPE";
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(testing_support::readFile(work.file("Idatalog.bin")), script.data);
}

TEST_F(LogfetchDownloadOverPty, HangUpEndsTheDownloadAsSigtermDoes)
{
    ASSERT_TRUE(waitForInstructions());
    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
    const std::string counts = finish();
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);  // ended by SIGHUP after its cleanup
    EXPECT_EQ(counts, "Download Finished. Number of Blocks = 0. Number of Bytes = 0\n");
    EXPECT_THAT(errors.toStdString(), HasSubstr("Cancelled: nothing was saved"));
}

TEST_F(LogfetchDownloadOverPty, ASecondDownloadAtTheSameTimeIsRefusedAndTheFirstGoesOn)
{
    ASSERT_TRUE(waitForInstructions());
    testing_support::PtyInstrument otherPty;
    mapping.map(kPort + 1, otherPty.devicePath());
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(work.path()));
    second.start(QString::fromStdString(programCopy),
                 {"download", "--port", QString::number(kPort + 1), "--output", "other.bin"});
    ASSERT_TRUE(second.waitForFinished(kTimeoutMs));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_THAT(second.readAllStandardError().toStdString(),
                HasSubstr("Another download is running: logfetch download, port " + std::to_string(kPort)));

    PtyInstrumentRunner runner(pty, PtyInstrumentRunner::Pace::AsFastAsPossible);
    testing_support::InstrumentScript script;
    script.data = testing_support::makeDataLog(2 * 1024 + 5);
    runner.play(script);
    finish();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(testing_support::readFile(work.file("Idatalog.bin")), script.data);
}

}  // namespace
