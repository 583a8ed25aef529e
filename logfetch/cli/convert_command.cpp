#include "logfetch/cli/convert_command.h"

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

}  // namespace

int runConvertCommand(const std::vector<std::string>& binPaths, std::ostream& out, std::ostream& err)
{
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
