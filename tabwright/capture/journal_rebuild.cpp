#include "tabwright/capture/journal_rebuild.h"

#include <filesystem>
#include <stdexcept>

#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/capture/workbook_files.h"

namespace tabwright {

std::string rebuiltRunName(const std::string& journalPath)
{
    return std::filesystem::path(journalPath).stem().string() + "-rebuilt";
}

JournalRebuild rebuildFromJournal(SpreadsheetFactory& spreadsheets, const std::string& journalPath,
                                  TimeOfDay& fallback,
                                  const std::function<void(std::int64_t, std::int64_t)>& progress)
{
    JournalRebuild rebuild;
    const std::string name = fileNameOf(journalPath);
    JournalFiles files;
    try {
        files = readJournalFiles(journalPath);
    } catch (const std::runtime_error& error) {
        rebuild.status = std::string("Cannot rebuild from the journal: ") + error.what();
        return rebuild;
    }
    FreshWorkbook fresh = openFreshWorkbook(spreadsheets, rebuiltRunName(journalPath));
    rebuild.spreadsheet = std::move(fresh.spreadsheet);
    if (!fresh.opened || !rebuild.spreadsheet.sheet) {
        rebuild.status = "MS Excel not available: " + fresh.reason;
        return rebuild;
    }
    JournalReplaySource source(std::move(files), fallback);
    try {
        const ReplaySummary summary = replayJournal(source, *rebuild.spreadsheet.sheet, progress);
        rebuild.status = "Rebuilt " + name + " in a new workbook: " + std::to_string(summary.bytes) +
                         " bytes, " + std::to_string(summary.rows) + " rows";
    } catch (const SpreadsheetError& error) {
        rebuild.status =
            "Rebuilding " + name + " stopped: " + std::string(blockedText(error)) + ": " + error.what();
    }
    rebuild.warnings = source.warnings();
    return rebuild;
}

}  // namespace tabwright
