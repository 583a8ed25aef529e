#pragma once

#include <functional>
#include <string_view>

#include "common/core/prompter.h"
#include "logfetch/convert/record_observer.h"
#include "logfetch/convert/report_writer.h"
#include "logfetch/convert/step_values.h"

namespace logfetch {

// Converts folder/fileName (a .BIN) into BASE.PRN and BASE.CSV beside it,
// BASE being the name without its last four characters, in upper case.
// Sets gPrnFile, gCsvFile, gBinFileLength and gBinBytesRead, tells the user
// the outcome through the prompter and returns it. `observer`, when given, hears every
// data set and record converted.
ConversionOutcome ConvertBinFile(std::string_view folder, std::string_view fileName, StepValues& values,
                                 common::Prompter& prompter, const std::function<void()>& yield,
                                 RecordObserver* observer = nullptr);

}  // namespace logfetch
