// Feeds arbitrary arguments to the option parser of "logfetch download" and checks that every
// accepted set of options names a usable port and output. Input: one argument per line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "logfetch/cli/download_command_line.h"
#include "serial/port_numbering.h"
#include "testing/fuzz_arguments.h"

namespace {

void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "download_options_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList arguments = testing_support::argumentsOf(data, size, {"logfetch", "download"});
    if (testing_support::asksForHelp(arguments))
        return 0;
    std::ostringstream err;
    const auto parsed = logfetch::parseDownloadCommandLine(arguments, err);
    if (const int* status = std::get_if<int>(&parsed)) {
        check(*status != 0 && !err.str().empty(), "a refusal without a message or with status 0");
        return 0;
    }
    const auto& options = std::get<logfetch::DownloadOptions>(parsed);
    check(!options.portText || serial::portNumberOfText(*options.portText).has_value(),
          "a port outside 1 to 16");
    check(!options.outputPath.empty(), "no output name");
    check(err.str().empty(), "accepted options with a complaint");
    return 0;
}
