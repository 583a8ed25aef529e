// A run's cells rebuilt from its journal equal the cells the run wrote, cell for cell:
// the pty instrument and both emulated machines, reads split inside lines and block
// separators, Pause/Resume, a pulled cable, a workbook that refused a write for a while,
// "Inject Single Tab", and a Stop with an unfinished line; over the recording spreadsheet
// and through the CSV sheet.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/qt_serial_port.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/files/capture_journal.h"
#include "tabwright/capture/emulator_source.h"
#include "tabwright/files/journal_reader.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/files/serial_port_source.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/emulator/emulated_instruments.h"
#include "tabwright/testing/recording_spreadsheet_factory.h"
#include "testing/event_loop.h"
#include "testing/port_mapping.h"
#include "testing/pty_instrument.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_folder.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;

// Every answer a different time of day, so a stamp replayed at another moment differs.
class SteppingTime : public TimeOfDay {
public:
    explicit SteppingTime(std::int32_t start, std::int32_t step) : next_(start), step_(step) {}
    std::int32_t millisecondsSinceMidnight() override
    {
        const std::int32_t now = next_;
        next_ = (next_ + step_) % kMillisecondsPerDay;
        return now;
    }

private:
    std::int32_t next_;
    std::int32_t step_;
};

class QuietView : public RunView, public RunTimer {
public:
    void showRun(const RunPicture&) override {}
    void bringWindowToFront() override {}
    void setTimerEnabled(bool) override {}
};

enum class Sheet { Recording, Csv };

// What the instrument does and the user does during the run.
class Instrument {
public:
    virtual ~Instrument() = default;
    virtual TextSource& source() = 0;
    // The instrument sends its next piece: `text`, or its own next output when empty.
    virtual void send(const std::string& text) = 0;
    virtual void pullCable(CaptureRun& run) = 0;
    virtual void plugBack() = 0;
};

constexpr int kInstrumentPort = 5;

class PtyLine : public Instrument {
public:
    PtyLine()
    {
        mapping_.map(kInstrumentPort, pty_->devicePath());
        port_.setPortNumber(kInstrumentPort);
    }
    TextSource& source() override { return source_; }
    void send(const std::string& text) override
    {
        pty_->send(text);
        ASSERT_TRUE(testing_support::runEventsUntil([&] { return pty_->waitingForProgram() == 0; }, 10s));
    }
    void pullCable(CaptureRun& run) override
    {
        pty_->pullCable();
        ASSERT_TRUE(testing_support::runEventsUntil([&] { return run.portLost(); }, 10s));
    }
    void plugBack() override
    {
        pty_ = std::make_unique<testing_support::PtyInstrument>();
        mapping_.map(kInstrumentPort, pty_->devicePath());
    }

private:
    testing_support::TemporaryPortMapping mapping_;
    std::unique_ptr<testing_support::PtyInstrument> pty_ = std::make_unique<testing_support::PtyInstrument>();
    serial::QtSerialPort port_;
    SerialPortSource source_{port_};
};

// The emulator window open, its machine's outputs said into the hand-over.
class EmulatedMachine : public Instrument {
public:
    explicit EmulatedMachine(bool vq480)
    {
        source_.turnOn();
        instruments_.vq480.setEOLFrequency(3);
        model_ = vq480 ? static_cast<InstrumentModel*>(&instruments_.vq480) : &instruments_.k7rx;
    }
    TextSource& source() override { return source_; }
    void send(const std::string& text) override
    {
        if (text == "inject")
            source_.setInjectSingleTab(true);
        source_.say(text.empty() || text == "inject" ? model_->nextOutput() : text);
    }
    void pullCable(CaptureRun&) override {}
    void plugBack() override {}

private:
    EmulatedInstruments instruments_;
    InstrumentModel* model_;
    EmulatorSource source_;
};

// The steps of a scenario: "send TEXT" (TEXT empty: the machine's next output; "inject":
// the next output with Inject Single Tab), "tick", "pause", "resume", "pull", "plug",
// "refuse" (the workbook refuses its next row write, recording sheet only), "stop".
struct Step {
    std::string action;
    std::string text = {};
};

struct Scenario {
    const char* name;
    std::function<std::unique_ptr<Instrument>()> instrument;
    std::vector<Step> steps;
};

std::vector<Step> repeated(int times, std::vector<Step> steps)
{
    std::vector<Step> all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), steps.begin(), steps.end());
    return all;
}

std::vector<Step> joined(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<Scenario>& scenarios()
{
    static const std::vector<Scenario> all{
        {"PtyInstrument",
         [] { return std::make_unique<PtyLine>(); },
         {{"send", "0001 :: 12-07-2026 = 13:01:02 = 57.5\r\n12.5\t3"},
          {"tick"},
          {"send", "4\r"},
          {"tick"},
          {"send", "\n\r\n\r"},
          {"tick"},
          {"send", "\n\r\n7\t8\r\n9"},
          {"tick"},
          {"pause"},
          {"send", "\tx\r\n\r\n\r\n\r\n"},
          {"resume"},
          {"tick"},
          // The workbook refuses a row: the next read comes before these lines are written.
          {"refuse"},
          {"send", "10\r\n\r\n"},
          {"tick"},
          {"send", "\r\n\r\n11\r\n"},
          {"tick"},
          {"send", "12\r\n"},
          {"pull"},
          {"plug"},
          {"resume"},
          {"send", "\r\n\r\n\r\nlast\t13\r"},
          {"tick"},
          {"stop"}}},
        {"EmulatedK7rx", [] { return std::make_unique<EmulatedMachine>(false); },
         joined({repeated(3, {{"send", ""}, {"tick"}}),
                 {{"send", "inject"}, {"tick"}, {"pause"}, {"send", ""}, {"resume"}, {"tick"}},
                 repeated(3, {{"send", ""}, {"tick"}}),
                 {{"send", "unfinished\t1"}, {"tick"}, {"stop"}}})},
        {"EmulatedVq480", [] { return std::make_unique<EmulatedMachine>(true); },
         joined({repeated(7, {{"send", ""}, {"tick"}}),
                 {{"send", "inject"}, {"tick"}, {"refuse"}},
                 repeated(7, {{"send", ""}, {"tick"}}),
                 {{"pause"}, {"send", ""}, {"resume"}, {"tick"}},
                 repeated(6, {{"send", ""}, {"tick"}}),
                 {{"stop"}}})},
    };
    return all;
}

using Cells = std::map<std::pair<int, int>, std::variant<std::string, double>>;

struct Rebuilt {
    Cells cells;
    std::string csv;
    int stamps = 0;
};

class ReplayProperty : public testing::TestWithParam<std::tuple<Scenario, Sheet>> {
protected:
    static int stampsIn(const Cells& cells)
    {
        int stamps = 0;
        for (const auto& [place, value] : cells)
            stamps += place.first == 1 && place.second > 1 && std::holds_alternative<double>(value) ? 1 : 0;
        return stamps;
    }

    // Runs the scenario live and returns its cells (recording) or CSV text.
    Rebuilt runLive(Instrument& instrument, Sheet sheet)
    {
        testing_support::RecordingSpreadsheetFactory recording;
        CsvSpreadsheetFactory csv("live.csv");
        SpreadsheetFactory& factory = sheet == Sheet::Csv ? static_cast<SpreadsheetFactory&>(csv) : recording;
        SteppingTime clock(9 * 3600 * 1000, 61'237);
        QuietView view;
        testing_support::ScriptedPrompter prompter;
        CaptureJournal journal(data_.path());
        CaptureRun run(
            CaptureRunParts{factory, instrument.source(), clock, view, view, prompter, journal});
        EXPECT_TRUE(run.start());
        const auto tick = [&] { run.tick([] {}); };
        for (const Step& step : std::get<0>(GetParam()).steps) {
            if (step.action == "send")
                instrument.send(step.text);
            else if (step.action == "tick")
                tick();
            else if (step.action == "pause")
                run.pause();
            else if (step.action == "resume")
                run.resume();
            else if (step.action == "pull")
                instrument.pullCable(run);
            else if (step.action == "plug")
                instrument.plugBack();
            else if (step.action == "refuse" && sheet == Sheet::Recording)
                recording.last().failNextCall("writeRow");
            else if (step.action == "stop")
                run.stop();
        }
        run.finishStopping();
        journal_ = run.journal().path();
        Rebuilt live;
        if (const auto* csvSheet = dynamic_cast<const CsvSpreadsheet*>(run.sheet()))
            live.csv = csvSheet->csvText();
        else
            live.cells = recording.last().cells;
        live.stamps = stampsIn(recording.made.empty() ? Cells{} : live.cells);
        return live;
    }

    Rebuilt replay(Sheet sheet)
    {
        SteppingTime otherTime(3 * 3600 * 1000, 1000);
        JournalReplaySource source(readJournalFiles(journal_), otherTime);
        Rebuilt replayed;
        if (sheet == Sheet::Csv) {
            CsvSpreadsheet csv("replayed.csv");
            replayJournal(source, csv);
            replayed.csv = csv.csvText();
        } else {
            testing_support::RecordingSpreadsheet recording;
            replayJournal(source, recording);
            replayed.cells = recording.cells;
        }
        EXPECT_THAT(source.warnings(), testing::IsEmpty());
        return replayed;
    }

    testing_support::TempFolder data_;
    std::string journal_;
};

TEST_P(ReplayProperty, ReplayedCellsEqualTheLiveCells)
{
    testing_support::ensureCoreApplication();
    const auto& [scenario, sheet] = GetParam();
    const std::unique_ptr<Instrument> instrument = scenario.instrument();
    const Rebuilt live = runLive(*instrument, sheet);
    const Rebuilt replayed = replay(sheet);
    if (sheet == Sheet::Csv) {
        EXPECT_FALSE(live.csv.empty());
        EXPECT_EQ(replayed.csv, live.csv);
    } else {
        EXPECT_GE(live.cells.size(), 10u);
        EXPECT_EQ(replayed.cells, live.cells);
        if (std::string(scenario.name) != "EmulatedK7rx") {
            EXPECT_GE(live.stamps, 2) << "the scenario should stamp blocks";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(JournalReplay, ReplayProperty,
                         testing::Combine(testing::ValuesIn(scenarios()),
                                          testing::Values(Sheet::Recording, Sheet::Csv)),
                         [](const testing::TestParamInfo<std::tuple<Scenario, Sheet>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Sheet::Csv ? "_Csv" : "_Recording");
                         });

}  // namespace
}  // namespace tabwright
