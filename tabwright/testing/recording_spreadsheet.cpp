#include "tabwright/testing/recording_spreadsheet.h"

#include <sstream>

namespace testing_support {

using tabwright::SpreadsheetError;
using tabwright::SpreadsheetFailure;

void RecordingSpreadsheet::record(const std::string& operation, const std::string& arguments)
{
    calls.push_back(arguments.empty() ? operation : operation + " " + arguments);
    failIfTold(operation);
}

void RecordingSpreadsheet::failIfTold(const std::string& operation)
{
    const auto failing = failing_.find(operation);
    if (failing == failing_.end())
        return;
    const SpreadsheetFailure failure = failing->second.failure;
    if (failing->second.once)
        failing_.erase(failing);
    throw SpreadsheetError(failure, operation + " failed as told");
}

void RecordingSpreadsheet::failCall(const std::string& operation, SpreadsheetFailure failure)
{
    failing_[operation] = Failing{failure, false};
}

void RecordingSpreadsheet::failNextCall(const std::string& operation, SpreadsheetFailure failure)
{
    failing_[operation] = Failing{failure, true};
}

void RecordingSpreadsheet::succeedCall(const std::string& operation)
{
    failing_.erase(operation);
}

void RecordingSpreadsheet::newInstance()
{
    record("newInstance");
}

std::string RecordingSpreadsheet::startupPath()
{
    record("startupPath");
    return startupFolder;
}

bool RecordingSpreadsheet::personalWorkbookExists(const std::string& path)
{
    record("personalWorkbookExists", path);
    return existingFiles.contains(path);
}

void RecordingSpreadsheet::openPersonalWorkbook(const std::string& path)
{
    record("openPersonalWorkbook", path);
}

void RecordingSpreadsheet::openCaptureWorkbook(const std::string& path)
{
    record("openCaptureWorkbook", path);
}

void RecordingSpreadsheet::makeVisible()
{
    record("makeVisible");
}

void RecordingSpreadsheet::writeText(int row, int column, std::string_view text)
{
    record("writeText", std::to_string(row) + " " + std::to_string(column) + " " + std::string(text));
    cells[{row, column}] = std::string(text);
}

void RecordingSpreadsheet::writeNumber(int row, int column, double value)
{
    std::ostringstream number;
    number << value;
    record("writeNumber", std::to_string(row) + " " + std::to_string(column) + " " + number.str());
    cells[{row, column}] = value;
}

void RecordingSpreadsheet::writeRow(int row, int firstColumn, std::span<const tabwright::CellValue> values)
{
    rowWrites.push_back("writeRow " + std::to_string(row) + " " + std::to_string(firstColumn) + " " +
                        std::to_string(values.size()));
    failIfTold("writeRow");
    CaptureSheet::writeRow(row, firstColumn, values);
}

void RecordingSpreadsheet::runMacro(std::string_view macro)
{
    record("runMacro", std::string(macro));
}

void RecordingSpreadsheet::quit()
{
    record("quit");
}

std::string RecordingSpreadsheet::workbookName()
{
    record("workbookName");
    return name;
}

void RecordingSpreadsheet::saveWorkbookAs(const std::string& path)
{
    record("saveWorkbookAs", path);
}

}  // namespace testing_support
