#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QDateTime>

#include "tabwright/capture/journal_file.h"

namespace tabwright {

// The raw text of each capture run, kept in the per-user data folder until the user
// deletes it: every byte the capture takes, exactly as received, in
// DATA/journal/YYYY-MM-DD_HH-MM-SS.txt. Nothing here throws into the capture: a journal
// that cannot be written tells it once (takeFailure) and then takes bytes without
// keeping them.
class CaptureJournal {
public:
    // `dataFolder`: the per-user data folder (the program passes AppDataLocation).
    explicit CaptureJournal(std::string dataFolder);

    // Starts the journal of a run that began at `startedAt` (local time), closing the one
    // before. The folder is created, owner-only, when missing. A name already taken (a
    // second run in the same second) gets "-2", "-3", ... before ".txt": nothing is ever
    // overwritten. False when the journal cannot be created; takeFailure tells why.
    bool open(const QDateTime& startedAt);
    void append(std::string_view bytes);
    // Passes the bytes appended since the last flush on to the disk; at every tick.
    void flush();
    // At Stop: flushes and closes the file; appends until the next open are dropped.
    void close();

    // "The capture journal cannot be written: PATH: REASON", the first time it is asked
    // for after the journal failed; nothing otherwise.
    std::optional<std::string> takeFailure();

    // DATA/journal, where every run's journal is.
    const std::string& folder() const { return folder_; }
    // The journal of the current or last run (the name it was meant to have, when it
    // could not be created); empty before the first open.
    const std::string& path() const { return path_; }
    // The journal as a summary names it: PATH, "PATH (incomplete: REASON)" when it
    // failed after it was made, "none: REASON" when it could not be made.
    std::string summary() const;

private:
    std::string folder_;
    std::string path_;
    JournalFile file_;
};

// The program's per-user data folder (~/.local/share/Tabwright), whose "journal"
// folder holds the journals.
std::string perUserDataFolder();

}  // namespace tabwright
