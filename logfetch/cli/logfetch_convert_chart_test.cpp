// "logfetch convert --chart", run as a user runs it and through its command function.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>
#include <sstream>
#include <string>

#include "logfetch/cli/convert_command.h"
#include "testing/temp_folder.h"
#include "testing/widgets/qt_application.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

const std::string kSamples = std::string(PROJECT_DATA_DIR) + "/samples/";

struct Finished {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the program without a display, as on a server.
Finished runLogfetch(const QStringList& arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(LOGFETCH_PROGRAM, arguments);
    program.waitForFinished(60'000);
    return {program.exitCode(), program.readAllStandardOutput().toStdString(),
            program.readAllStandardError().toStdString()};
}

TEST(LogfetchConvertChart, WritesAnSvgWithoutADisplay)
{
    testing_support::application();
    testing_support::TempFolder folder;
    fs::copy_file(kSamples + "worked-example.bin", folder.file("worked-example.bin"));
    const std::string chart = folder.file("log.svg");
    const Finished run = runLogfetch({"convert", QString::fromStdString(folder.file("worked-example.bin")),
                                      "--chart", QString::fromStdString(chart)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Chart: " + chart));
    QFile svg(QString::fromStdString(chart));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
}

TEST(LogfetchConvertChart, RefusesAnUnknownPictureBeforeConverting)
{
    testing_support::application();
    testing_support::TempFolder folder;
    fs::copy_file(kSamples + "worked-example.bin", folder.file("worked-example.bin"));
    for (const char* name : {"log.jpg", "log", "log.svg.txt"}) {
        const Finished run = runLogfetch(
            {"convert", QString::fromStdString(folder.file("worked-example.bin")), "--chart", name});
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_THAT(run.err, HasSubstr("--chart must end in .png or .svg")) << name;
    }
    EXPECT_FALSE(fs::exists(folder.file("WORKED-EXAMPLE.PRN")));
    const Finished two = runLogfetch({"convert", "a.bin", "b.bin", "--chart", "x.png"});
    EXPECT_EQ(two.exitCode, 2);
    EXPECT_THAT(two.err, HasSubstr("one .BIN"));
}

TEST(LogfetchConvertChart, OneNumberedChartPerDataSet)
{
    testing_support::application();
    testing_support::TempFolder folder;
    for (const char* sample :
         {"lab-week.bin", "field-stamped.bin", "stopped-early.bin", "worked-example.bin"}) {
        fs::copy_file(kSamples + sample, folder.file(sample));
        std::ostringstream out;
        std::ostringstream err;
        const std::string chart = folder.file(std::string(sample) + ".png");
        EXPECT_EQ(logfetch::runConvertCommand({folder.file(sample)}, out, err, chart), 0)
            << sample << err.str();
        const std::string written = out.str();
        // every chart named on the output exists and is a picture
        std::istringstream lines(written);
        int charts = 0;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("Chart: ", 0) == 0) {
                ++charts;
                EXPECT_FALSE(QImage(QString::fromStdString(line.substr(7))).isNull()) << line;
            }
        EXPECT_GE(charts, 1) << sample;
        EXPECT_EQ(fs::exists(chart), charts == 1) << sample;
        if (charts > 1) {
            EXPECT_TRUE(fs::exists(folder.file(std::string(sample) + "-2.png"))) << sample;
        }
    }
}

TEST(LogfetchConvertChart, AChartThatCannotBeWrittenFailsTheCommand)
{
    testing_support::application();
    testing_support::TempFolder folder;
    fs::copy_file(kSamples + "worked-example.bin", folder.file("worked-example.bin"));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(logfetch::runConvertCommand({folder.file("worked-example.bin")}, out, err,
                                          folder.file("missing/chart.svg")),
              1);
    EXPECT_THAT(err.str(), HasSubstr("cannot write the chart"));
}

}  // namespace
