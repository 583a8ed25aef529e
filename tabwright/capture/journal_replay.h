#pragma once

#include <cstdint>
#include <functional>

#include "tabwright/capture/journal_replay_source.h"
#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

struct ReplaySummary {
    std::int64_t bytes = 0;  // the journal's bytes written as cells
    SheetTally sheet;        // the rows written and what was cut, as a capture counts them
};

// Writes a journal's run into `sheet`'s capture workbook as the run wrote it: the same
// parse and row writes, each read given to the parser after the lines the run had
// written before it came, block stamps at the run's times, and at the end the unfinished
// last line as Stop writes it, cut at `sheet`'s limits as the run's lines are. Rows reach
// `sheet` in slices of kCellsPerWrite cells.
// `source` is opened here. `progress` hears the bytes taken so far and the journal's size
// after every read and every slice. Throws SpreadsheetError when a write fails; the
// slices written before stay.
ReplaySummary replayJournal(JournalReplaySource& source, CaptureSheet& sheet,
                            const std::function<void(std::int64_t taken, std::int64_t size)>& progress = {});

}  // namespace tabwright
