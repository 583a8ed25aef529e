#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

class OfficeProcess;

struct CalcOptions {
    // Where the personal macro workbook is looked for.
    std::string startupFolder;
    // Where each instance gets its private profile folder.
    std::string instancesFolder;
    // Headless runs show no window; Automatic means headless when there is no display.
    enum class Display { Automatic, Headless, Visible } display = Display::Automatic;
    // Generous limits: a first start on a loaded machine takes many seconds.
    std::chrono::milliseconds startTimeout{120'000};
    std::chrono::milliseconds quitTimeout{30'000};
    std::string program = LIBREOFFICE_PROGRAM_DIR "/soffice";
    // Whether the capture workbook's own macros may run (its template came from a trusted
    // folder); when not, it opens with its macros disabled and runMacro refuses with
    // `untrustedReason`.
    bool captureMacrosTrusted = true;
    std::string untrustedReason{};
    // What a sheet holds in the format the capture workbook is to be saved in.
    SheetLimits sheetLimits = kOdsSheet;
};

// The per-user defaults: the Tabwright configuration folder as start-up folder, a private
// folder for the profiles. Throws std::runtime_error when that folder is refused (see
// privateInstancesFolder).
CalcOptions defaultCalcOptions();
// The user's Tabwright configuration folder, where the personal macro workbook lives.
std::string defaultStartupFolder();

// The spreadsheet application as LibreOffice Calc, driven over UNO: each new instance is a
// private process with its own profile folder and pipe, so it never touches the user's
// other documents.
class CalcSpreadsheet final : public SpreadsheetApplication, public CaptureSheet {
public:
    explicit CalcSpreadsheet(CalcOptions options);
    ~CalcSpreadsheet() override;
    CalcSpreadsheet(const CalcSpreadsheet&) = delete;
    CalcSpreadsheet& operator=(const CalcSpreadsheet&) = delete;

    void newInstance() override;
    std::string startupPath() override;
    bool personalWorkbookExists(const std::string& path) override;
    void openPersonalWorkbook(const std::string& path) override;
    void openCaptureWorkbook(const std::string& path) override;
    void makeVisible() override;
    void writeText(int row, int column, std::string_view text) override;
    void writeNumber(int row, int column, double value) override;
    // One cell-range write per row, and per run of rows that follow one another from the
    // same column with the same number of cells.
    void writeRow(int row, int firstColumn, std::span<const CellValue> values) override;
    void writeRows(std::span<const RowCells> rows) override;
    bool joinsRows() const override { return true; }
    // Follows while the cursor is on the last row written before and that row is in view; a
    // user who scrolled or selected elsewhere is left alone until back on the last row.
    void followNewestRow(bool follow) override;
    void runMacro(std::string_view macro) override;
    void quit() override;
    std::string workbookName() override;
    void saveWorkbookAs(const std::string& path) override;
    SheetLimits limits() const override { return options_.sheetLimits; }

    // The current instance's UNO pipe and process group (-1 when there is none), for
    // tests that play the user closing a document or the instance dying.
    std::string pipeName() const;
    pid_t processGroup() const;

private:
    struct Instance;
    // What quitting asked of Calc: to end, or to let the user answer its save question.
    enum class QuitRequest { Sent, LeftWithUser };

    Instance& instance();
    void retire();
    // writeRows' UNO calls.
    void writeRowsOf(Instance& current, std::span<const RowCells> rows);
    // Moves the view to the newest of `rows` when it follows.
    void followRows(Instance& current, std::span<const RowCells> rows) const;
    // Quit's steps.
    static QuitRequest requestQuit(Instance& current);
    void leaveWithUser();
    void endInstance(bool quitSent);

    CalcOptions options_;
    bool followNewestRow_ = true;
    std::unique_ptr<Instance> instance_;
    // Instances of earlier runs, left open for the user; kept only to collect their ends.
    std::vector<std::unique_ptr<OfficeProcess>> earlier_;
};

}  // namespace tabwright
