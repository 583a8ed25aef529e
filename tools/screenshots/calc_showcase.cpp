// Fills a visible Calc the way a capture run does, runs the template's macro and quits,
// calling a command at each stage (for screenshots, or to look at it by hand):
//   calc_showcase 'import -window root docs/screenshots/%s.png'
// The stages are calc-filled, calc-after-macro and calc-save-question (Calc asking whether
// to save the modified workbook while quitting; the program ends and leaves Calc asking).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "common/core/prompter.h"
#include "tabwright/calc/calc_spreadsheet.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/workbook_files.h"

namespace {

using namespace std::chrono_literals;

class PrintingPrompter : public common::Prompter {
public:
    void showMessage(std::string_view text) override
    {
        std::printf("message: %.*s\n", int(text.size()), text.data());
    }
};

void stage(const std::string& command, const char* name)
{
    std::this_thread::sleep_for(2s);  // let Calc paint
    std::string line = command;
    if (const auto at = line.find("%s"); at != std::string::npos)
        line.replace(at, 2, name);
    std::printf("%s\n", name);
    std::fflush(stdout);
    if (!command.empty() && std::system(line.c_str()) != 0)
        std::fprintf(stderr, "the command for %s failed\n", name);
}

// Lines of an emulated K7RX as the capture places them: one row per line, the "::" and
// "=" tokens left out.
void writeReadings(tabwright::CaptureSheet& spreadsheet)
{
    for (int row = 1; row <= 24; ++row) {
        char index[8];
        char time[16];
        std::snprintf(index, sizeof index, "%04d", row - 1);
        std::snprintf(time, sizeof time, "05:%02d:%02d", 10 + row / 6, (row * 10) % 60);
        const int reading = 40 + (row * 37) % 23 + row;
        const std::string fields[] = {
            "0",  index, "12-08-2026", time, std::to_string(reading), "(RAW)", std::to_string(21 + row % 3),
            "(C)"};
        for (int column = 1; column <= 8; ++column)
            spreadsheet.writeText(row, column, fields[column - 1]);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    tabwright::CalcOptions options = tabwright::defaultCalcOptions();
    options.display = tabwright::CalcOptions::Display::Visible;
    tabwright::CalcSpreadsheet calc(options);
    const std::string workingCopy =
        tabwright::prepareWorkingCopy(tabwright::defaultWorkbookPlaces(), "showcase");
    if (!tabwright::openCaptureWorkbook(calc, workingCopy)) {
        std::fprintf(stderr, "MS Excel not available\n");
        return 1;
    }
    writeReadings(calc);
    stage(command, "calc-filled");
    PrintingPrompter prompter;
    tabwright::runEndOfRunMacro(calc, tabwright::fileNameOf(workingCopy), "ChartReadings", prompter);
    stage(command, "calc-after-macro");
    std::thread shot([&] { stage(command, "calc-save-question"); });
    calc.quit();
    shot.join();
    return 0;
}
