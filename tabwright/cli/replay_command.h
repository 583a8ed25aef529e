#pragma once

#include <QStringList>

#include <ostream>

namespace tabwright {

// "tabwright replay JOURNAL... [--output FILE] [--format EXT] [--macro NAME]": each journal
// is written into a fresh capture workbook with the same parse and row writes as its run,
// then the end-of-run macro runs, the workbook is saved and its spreadsheet application
// quits. `arguments` are the program's, "replay" among them. Progress goes to `err`,
// one summary per journal to `out`. Returns 0 only when every workbook was saved, 1 when
// one was not, 2 for a usage error. Needs the application object.
int runReplayCommand(const QStringList& arguments, std::ostream& out, std::ostream& err);

}  // namespace tabwright
