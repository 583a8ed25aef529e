#include "logfetch/convert/convert_bin_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "common/core/letter_case.h"
#include "common/core/path_text.h"
#include "logfetch/convert/conversion_error.h"
#include "logfetch/convert/file_io.h"
#include "logfetch/program_identity.h"

namespace logfetch {

namespace {

std::string failureMessage(const ConversionError& error)
{
    return "Error " + std::to_string(error.number()) + ". " + error.description() + ". " +
           std::string(kProgramTitle) + "\r\nThis BIN file is corrupted.";
}

ConversionOutcome convertFiles(const std::string& binPath, StepValues& values,
                               const std::function<void()>& yield, RecordObserver* observer)
{
    FileByteSource bin(binPath);
    values.gBinFileLength = static_cast<std::int32_t>(
        std::min<std::int64_t>(bin.length(), std::numeric_limits<std::int32_t>::max()));
    FileLineSink prn(values.gPrnFile);
    FileLineSink csv(values.gCsvFile);
    const ConversionOutcome outcome = writeReports(bin, prn, csv, values.gBinBytesRead, yield, observer);
    prn.close();
    csv.close();
    return outcome;
}

}  // namespace

ConversionOutcome ConvertBinFile(std::string_view folder, std::string_view fileName, StepValues& values,
                                 common::Prompter& prompter, const std::function<void()>& yield,
                                 RecordObserver* observer)
{
    const std::string baseName =
        common::upperCase(fileName.substr(0, fileName.size() - std::min<std::size_t>(4, fileName.size())));
    const std::string prnName = baseName + ".PRN";
    values.gPrnFile = common::joinPath(folder, prnName);
    values.gCsvFile = common::joinPath(folder, baseName + ".CSV");
    values.gBinFileLength = 0;
    values.gBinBytesRead = 0;

    try {
        const ConversionOutcome outcome =
            convertFiles(common::joinPath(folder, fileName), values, yield, observer);
        if (outcome == ConversionOutcome::Rejected) {
            prompter.showMessage("This BIN is corrupt");
            return outcome;
        }
        prompter.showMessage("The conversion has completed.  Your ASCII file is: " + prnName);
        return outcome;
    } catch (const ConversionError& error) {
        prompter.showMessage(failureMessage(error));
        return ConversionOutcome::Failed;
    }
}

}  // namespace logfetch
