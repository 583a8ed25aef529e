#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tabwright/capture/spreadsheet.h"
#include "tabwright/capture/spreadsheet_factory.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// What rebuilding a run from its journal did.
struct JournalRebuild {
    // The spreadsheet holding the rebuilt workbook, left open for the user; empty when none
    // was made.
    CaptureSpreadsheet spreadsheet;
    // For the status line: what was rebuilt (its figures), or that it was not; then the file
    // it is about (the rebuilt working copy, or the journal), and why it failed, empty when
    // it did not.
    std::string status;
    std::string path;
    std::string reason;
    // What the user should know about the replay's times (see JournalReplaySource).
    std::vector<std::string> warnings;
};

// The name of the working copy a run rebuilt from `journalPath` gets: the journal's name
// and "-rebuilt", so it never takes the name of the run's own workbook.
std::string rebuiltRunName(const std::string& journalPath);

// Rebuilds the run kept in `journalPath` into a fresh capture workbook of a new spreadsheet
// application, as a Start opens one, and leaves it open. `fallback` stamps blocks of a
// journal without a reads file. `progress` hears the bytes taken and the journal's size.
JournalRebuild rebuildFromJournal(SpreadsheetFactory& spreadsheets, const std::string& journalPath,
                                  TimeOfDay& fallback,
                                  const std::function<void(std::int64_t, std::int64_t)>& progress = {});

}  // namespace tabwright
