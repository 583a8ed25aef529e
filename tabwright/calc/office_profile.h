#pragma once

#include <string>
#include <vector>

namespace tabwright {

// Creates a fresh private profile folder for one instance under `parent`, owner-only, with
// the first-start greetings (tip of the day, what's-new bar) switched off, so a capture
// window opens straight onto its workbook. It holds the instance's own temporary folder
// (profileTemporaryFolder) and the number of the process that made it. Throws
// std::runtime_error when it cannot.
std::string createProfileFolder(const std::string& parent);

// The folder an instance is given as its temporary folder, inside its profile folder, so
// that its temporary files go with the profile.
std::string profileTemporaryFolder(const std::string& profileFolder);

// The socket the office makes for its UNO pipe `pipeName` (in /tmp, whatever TMPDIR says).
std::string officePipeSocket(const std::string& pipeName);

// The name of the UNO pipe of the instance whose profile folder is `profileFolder`.
std::string officePipeName(const std::string& profileFolder);

// The sockets the instance whose profile folder is `profileFolder` makes in /tmp: its UNO
// pipe's and the office's own single-instance pipe's. The office removes them when it
// ends by itself; an instance that is killed leaves them.
std::vector<std::string> officeSockets(const std::string& profileFolder);

// Removes the profile folders under `parent` whose instance is gone (no process uses the
// profile and the program that made it has ended), with their pipe sockets. A folder
// being made by another program at this moment is left alone.
void removeProfilesOfEndedInstances(const std::string& parent);

// Where this user's private instances keep their profiles: $XDG_RUNTIME_DIR/tabwright
// when the runtime folder is there (only its user can enter it), else a new folder made
// with mkdtemp in the system temporary folder, which nobody can predict or make first.
// Profiles of ended instances in such folders of earlier runs are removed. Throws
// std::runtime_error saying why a folder is refused.
std::string privateInstancesFolder();

}  // namespace tabwright
