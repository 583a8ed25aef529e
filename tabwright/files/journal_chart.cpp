#include "tabwright/files/journal_chart.h"

#include "tabwright/files/journal_reader.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/capture/journal_replay_source.h"
#include "tabwright/chart/readings_from_rows.h"
#include "tabwright/chart/rows_only_sheet.h"

namespace tabwright {

std::vector<std::string> chartJournal(const std::string& journalPath, common::ReadingSet& readings,
                                      TimeOfDay& fallback)
{
    JournalReplaySource source(readJournalFiles(journalPath), fallback);
    // The replay's parser sets where its line starts on this same clock; the rows then
    // arrive at the times the run took their text in.
    TimeOfDay& replayTimes = source.stampClock({});
    readings.clear();
    ReadingsFromRows extraction(readings, replayTimes);
    RowsOnlySheet sheet(extraction);
    replayJournal(source, sheet);
    return source.warnings();
}

}  // namespace tabwright
