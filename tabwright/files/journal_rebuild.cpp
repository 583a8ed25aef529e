#include "tabwright/files/journal_rebuild.h"

#include <filesystem>
#include <stdexcept>

#include "tabwright/capture/capture_run.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/journal_reader.h"
#include "tabwright/capture/digit_grouping.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/files/workbook_files.h"

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
    JournalFiles files;
    try {
        files = readJournalFiles(journalPath);
    } catch (const std::runtime_error& error) {
        rebuild.status = "Cannot rebuild from the journal";
        rebuild.path = journalPath;
        rebuild.reason = error.what();
        return rebuild;
    }
    FreshWorkbook fresh = openFreshWorkbook(spreadsheets, rebuiltRunName(journalPath));
    rebuild.spreadsheet = std::move(fresh.spreadsheet);
    rebuild.path = fresh.workingCopy;
    if (!fresh.opened || !rebuild.spreadsheet.sheet) {
        rebuild.status = "MS Excel not available";
        rebuild.reason = fresh.reason;
        return rebuild;
    }
    JournalReplaySource source(std::move(files), fallback);
    try {
        const ReplaySummary summary = replayJournal(source, *rebuild.spreadsheet.sheet, progress);
        rebuild.status =
            "Rebuilt " + countOf(summary.bytes, "byte") + ", " + countOf(summary.sheet.bottomRow, "row") + " in";
    } catch (const SpreadsheetError& error) {
        rebuild.status = "Rebuilding stopped: " + std::string(blockedText(error));
        rebuild.reason = error.what();
    } catch (const std::runtime_error& error) {
        rebuild.status = "Rebuilding stopped: the journal could not be read";
        rebuild.reason = error.what();
    }
    rebuild.warnings = source.warnings();
    return rebuild;
}

}  // namespace tabwright
