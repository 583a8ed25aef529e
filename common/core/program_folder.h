#pragma once

#include <string>

namespace common {

// The folder a program keeps its own small files in: the folder of its
// executable when that can be written, else the per-user data folder (created
// when missing). Needs a QCoreApplication.
std::string programFolder();

// The same choice for a given executable folder and per-user folder.
std::string chooseProgramFolder(const std::string& executableFolder, const std::string& userDataFolder);

}  // namespace common
