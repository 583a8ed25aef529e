#pragma once

#include <QStringList>

#include <iosfwd>
#include <variant>

#include "logfetch/cli/download_command.h"

namespace logfetch {

// "logfetch download [--port N] [--output FILE.BIN] [--force]": the
// arguments as the program got them, the command's name among them. Ctrl-C,
// SIGTERM and SIGHUP cancel the download; the process then ends by that
// signal. A closed stdout or stderr does not end it. Returns the exit status.
int downloadFromCommandLine(const QStringList& arguments);

// The arguments of "logfetch download" checked before anything opens: the
// options, or the exit status of a usage error told on `err`. --help shows the
// help and ends the program.
std::variant<DownloadOptions, int> parseDownloadCommandLine(const QStringList& arguments, std::ostream& err);

}  // namespace logfetch
