#include "logfetch/cli/convert_command.h"

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "common/core/command_line_usage.h"
#include "common/core/path_text.h"
#include "common/core/terminal_text.h"
#include "logfetch/convert/bin_name.h"
#include "logfetch/convert/convert_bin_file.h"

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

}  // namespace

int runConvertCommand(const std::vector<std::string>& binPaths, std::ostream& out, std::ostream& err)
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
        const ConversionOutcome outcome =
            ConvertBinFile(parts.folder, parts.fileName, values, message, [] {});
        if (outcome == ConversionOutcome::Completed) {
            out << message.forTerminal() << " (" << values.gPrnFile << ", " << values.gCsvFile << ")\n";
        } else {
            err << path << ": " << message.forTerminal() << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace logfetch
