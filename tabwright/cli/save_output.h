#pragma once

#include <string>

#include "tabwright/capture/spreadsheet.h"

namespace tabwright {

// Saves the sheet's workbook as `path` and gives the name it was saved under. A name the
// user gave (`replace`) replaces a file there; a name the program chose never does: the
// next free one is taken ("NAME-2.ods"), atomically, so that two runs saving the same
// name at once both keep their file. Throws SpreadsheetError (Failed) with the reason.
std::string saveOutput(CaptureSheet& sheet, const std::string& path, bool replace);

}  // namespace tabwright
