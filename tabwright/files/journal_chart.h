#pragma once

#include <string>
#include <vector>

#include "common/chart/reading_set.h"
#include "tabwright/capture/time_of_day.h"

namespace tabwright {

// Replays the journal at `journalPath` into `readings` alone (emptied first), with no
// spreadsheet, so the chart shows what the live run's chart showed: block stamps at the
// run's times, and a line without a time of its own at the time of the read that brought
// it. `fallback` tells the times a journal without a reads file does not hold. Gives the
// replay's warnings (no reads file, a run that did not end with Stop...). Throws
// std::runtime_error when the journal cannot be read.
std::vector<std::string> chartJournal(const std::string& journalPath, common::ReadingSet& readings,
                                      TimeOfDay& fallback);

}  // namespace tabwright
