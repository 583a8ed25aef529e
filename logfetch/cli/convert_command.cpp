#include "logfetch/cli/convert_command.h"

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include <QString>

#include "common/core/command_line_usage.h"
#include "common/chart/chart_file_kind.h"
#include "common/core/path_text.h"
#include "common/core/terminal_text.h"
#include "common/widgets/chart_file.h"
#include "logfetch/convert/bin_name.h"
#include "logfetch/convert/convert_bin_file.h"
#include "logfetch/convert/log_readings.h"

namespace logfetch {

namespace {

// Keeps the one message of a conversion, to print it where it belongs.
class LastMessage : public common::Prompter {
public:
    void showMessage(std::string_view text) override { text_ = text; }

    std::string forTerminal() const { return common::terminalText(text_); }

private:
    std::string text_;
};

// The folder and report name each .BIN would write, the folder resolved so that two
// spellings of one folder compare equal.
std::string reportsOf(const std::string& binPath)
{
    const common::SplitPath parts = common::splitPath(binPath);
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::weakly_canonical(parts.folder.empty() ? "." : parts.folder, error);
    return (folder / reportBaseName(parts.fileName)).string();
}

// The .BIN files that would write the same reports ("run.bin" and "RUN.BIN"), named for
// the user; nothing when each writes its own.
std::optional<std::string> sharedReports(const std::vector<std::string>& binPaths)
{
    std::map<std::string, std::string> firstByReports;
    for (const std::string& path : binPaths) {
        const auto [first, isNew] = firstByReports.emplace(reportsOf(path), path);
        if (!isNew)
            return first->second + " and " + path + " would write the same reports, " + first->first +
                   ".PRN and " + first->first + ".CSV; give one of them another name";
    }
    return std::nullopt;
}

// Draws each data set of the converted log into its chart file; false when one failed.
bool writeCharts(const LogReadings& readings, const std::string& binPath, const std::string& chartPath,
                 std::ostream& out, std::ostream& err)
{
    const auto& dataSets = readings.dataSets();
    const int count = static_cast<int>(dataSets.size());
    bool written = true;
    for (int i = 0; i < count; ++i) {
        const std::string path = common::numberedChartPath(chartPath, i + 1, count);
        const QString title = QString::fromLocal8Bit(common::splitPath(binPath).fileName) + ", data set " +
                              QString::number(dataSets[static_cast<std::size_t>(i)].number);
        if (common::writeChartFile(dataSets[static_cast<std::size_t>(i)].readings, title,
                                   QString::fromLocal8Bit(path))) {
            out << "Chart: " << path << '\n';
        } else {
            err << "cannot write the chart " << path << '\n';
            written = false;
        }
    }
    if (count == 0)
        err << binPath << ": no data set to chart\n";
    return written && count > 0;
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& binPaths, std::ostream& out, std::ostream& err,
                      const std::string& chartPath)
{
    if (const std::optional<std::string> shared = sharedReports(binPaths)) {
        err << "logfetch convert: " << *shared << '\n';
        return common::kUsageError;
    }
    int failures = 0;
    for (const std::string& path : binPaths) {
        const common::SplitPath parts = common::splitPath(path);
        if (!hasBinExtension(parts.fileName)) {
            err << path << ": " << kBinExtensionMessage << '\n';
            ++failures;
            continue;
        }
        StepValues values;
        LastMessage message;
        LogReadings readings;
        const ConversionOutcome outcome = ConvertBinFile(
            parts.folder, parts.fileName, values, message, [] {}, chartPath.empty() ? nullptr : &readings);
        if (outcome == ConversionOutcome::Completed) {
            out << message.forTerminal() << " (" << values.gPrnFile << ", " << values.gCsvFile << ")\n";
            if (!chartPath.empty() && !writeCharts(readings, path, chartPath, out, err))
                ++failures;
        } else {
            err << path << ": " << message.forTerminal() << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace logfetch
