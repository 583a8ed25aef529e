#pragma once

#include <string>

namespace common {

// The folder a program keeps its own small files in: the folder of its
// executable when that can be written and the program is not installed, else
// the per-user data folder (created when missing). Needs a QCoreApplication.
std::string programFolder();

// Whether the program at executablePath is installed: PREFIX/bin/NAME with its
// data folder PREFIX/share/NAME beside. An installed program's folder belongs
// to the system even where the user may write it (as root), so its files never
// go there.
bool isInstalledProgram(const std::string& executablePath);

// The same choice for a given executable folder and per-user folder.
std::string chooseProgramFolder(const std::string& executableFolder, const std::string& userDataFolder);

}  // namespace common
