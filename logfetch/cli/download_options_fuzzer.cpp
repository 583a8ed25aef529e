// Feeds arbitrary arguments to the option parser of "logfetch download" and checks that every
// accepted set of options names a usable port and output. Input: one argument per line.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "logfetch/cli/download_command_line.h"
#include "serial/port_numbering.h"
#include "testing/fuzz_support.h"

using testing_support::fuzzCheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList arguments = testing_support::argumentsOf(data, size, {"logfetch", "download"});
    if (testing_support::asksForHelp(arguments))
        return 0;
    std::ostringstream err;
    const auto parsed = logfetch::parseDownloadCommandLine(arguments, err);
    if (const int* status = std::get_if<int>(&parsed)) {
        fuzzCheck(*status != 0 && !err.str().empty(), "a refusal without a message or with status 0");
        return 0;
    }
    const auto& options = std::get<logfetch::DownloadOptions>(parsed);
    fuzzCheck(!options.portText || serial::portNumberOfText(*options.portText).has_value(),
              "a port outside 1 to 16");
    fuzzCheck(!options.outputPath.empty(), "no output name");
    fuzzCheck(err.str().empty(), "accepted options with a complaint");
    return 0;
}
