#include "logfetch/convert/convert_bin_file.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "common/core/log_info.h"
#include "common/core/path_text.h"
#include "logfetch/convert/bin_name.h"
#include "logfetch/convert/conversion_error.h"
#include "logfetch/convert/convert_log.h"
#include "logfetch/convert/file_io.h"
#include "logfetch/program_identity.h"

namespace logfetch {

namespace {

// A failure of the data log itself gets the word that the file is corrupted; one of the
// file system (a folder that takes no file, a full disk, no right to read) says only what
// happened, the .BIN being sound.
std::string failureMessage(const ConversionError& error)
{
    std::string message = "Error " + std::to_string(error.number()) + ". " + error.description() + ". " +
                          std::string(kProgramTitle);
    if (!error.isFileSystemFailure())
        message += "\r\nThis BIN file is corrupted.";
    return message;
}

ConversionOutcome convertFiles(const std::string& binPath, StepValues& values,
                               const std::function<void()>& yield, RecordObserver* observer)
{
    FileByteSource bin(binPath);
    values.gBinFileLength = static_cast<std::int32_t>(
        std::min<std::int64_t>(bin.length(), std::numeric_limits<std::int32_t>::max()));
    ReportFile prn(values.gPrnFile);
    ReportFile csv(values.gCsvFile);
    const auto keepWhereNoneWas = [&] {
        prn.keepWhereNoneWas();
        csv.keepWhereNoneWas();
    };
    ConversionOutcome outcome = ConversionOutcome::Rejected;
    try {
        outcome = writeReports(bin, prn, csv, values.gBinBytesRead, yield, observer);
        if (outcome == ConversionOutcome::Completed) {
            // Both whole before either takes its place.
            prn.close();
            csv.close();
            prn.complete();
            csv.complete();
            return outcome;
        }
    } catch (const ConversionError&) {
        keepWhereNoneWas();
        throw;
    }
    keepWhereNoneWas();
    return outcome;
}

}  // namespace

ConversionOutcome ConvertBinFile(std::string_view folder, std::string_view fileName, StepValues& values,
                                 common::Prompter& prompter, const std::function<void()>& yield,
                                 RecordObserver* observer)
{
    const std::string baseName = reportBaseName(fileName);
    const std::string prnName = baseName + ".PRN";
    values.gPrnFile = common::joinPath(folder, prnName);
    values.gCsvFile = common::joinPath(folder, baseName + ".CSV");
    values.gBinFileLength = 0;
    values.gBinBytesRead = 0;

    try {
        const ConversionOutcome outcome =
            convertFiles(common::joinPath(folder, fileName), values, yield, observer);
        if (outcome == ConversionOutcome::Rejected) {
            common::logInfo(convertLog(), std::string(fileName) + ": the data log is rejected as corrupt");
            prompter.showMessage("This BIN is corrupt");
            return outcome;
        }
        prompter.showMessage("The conversion has completed.  Your ASCII file is: " + prnName);
        return outcome;
    } catch (const ConversionError& error) {
        common::logInfo(convertLog(), std::string(fileName) + ": error " + std::to_string(error.number()) +
                                          ", " + error.description());
        prompter.showMessage(failureMessage(error));
        return ConversionOutcome::Failed;
    }
}

}  // namespace logfetch
