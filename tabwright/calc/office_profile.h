#pragma once

#include <string>

namespace tabwright {

// Creates a fresh private profile folder for one instance under `parent`, owner-only, with
// the first-start greetings (tip of the day, what's-new bar) switched off, so a capture
// window opens straight onto its workbook. Throws std::runtime_error when it cannot.
std::string createProfileFolder(const std::string& parent);

}  // namespace tabwright
