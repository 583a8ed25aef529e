#pragma once

#include <QStringList>

namespace logfetch {

// "logfetch download [--port N] [--output FILE.BIN] [--force]": the
// arguments as the program got them, the command's name among them. Ctrl-C,
// SIGTERM and SIGHUP cancel the download; the process then ends by that
// signal. A closed stdout or stderr does not end it. Returns the exit status.
int downloadFromCommandLine(const QStringList& arguments);

}  // namespace logfetch
