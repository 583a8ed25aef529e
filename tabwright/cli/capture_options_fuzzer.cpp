// Feeds arbitrary arguments to the option parser of "tabwright capture" and checks that every
// accepted set of options holds only values the capture can use. Input: one argument per line.
#include <QDir>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tabwright/cli/capture_options.h"
#include "testing/fuzz_arguments.h"
#include "testing/temp_folder.h"

namespace {

void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "capture_options_fuzzer: %s\n", what);
    std::abort();
}

bool withinLimits(const tabwright::LimitPair& limits)
{
    return limits.minimum >= -32768 && limits.maximum <= 32767 &&
           limits.maximum - limits.minimum + 1 >= -32768 && limits.maximum - limits.minimum + 1 <= 32767;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The output check makes and removes a probe file in the output's folder: every name
    // stays in a folder of the fuzzer's own.
    static testing_support::TempFolder folder;
    static const bool inFolder = QDir::setCurrent(QString::fromStdString(folder.path()));
    check(inFolder, "cannot enter the temporary folder");
    const QStringList arguments = testing_support::argumentsOf(data, size, {"tabwright", "capture"});
    for (const QString& argument : arguments)
        if (argument.contains(QLatin1Char('/')))
            return 0;

    const auto parsed = tabwright::parseCaptureOptions(arguments, "capture-default.ods");
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        check(!message->empty(), "a refusal without a message");
        return 0;
    }
    const auto& options = std::get<tabwright::CaptureOptions>(parsed);
    check(!options.port || (*options.port >= 1 && *options.port <= 16), "a port outside 1 to 16");
    check(!options.port || options.source == tabwright::CaptureSource::Port, "a port and an emulator");
    check(!options.seconds || (std::isfinite(*options.seconds) && *options.seconds > 0),
          "seconds that are not a time");
    check(withinLimits(options.measurement) && withinLimits(options.temperature), "limits out of range");
    check(!options.outputPath.empty(), "no output name");
    check(options.macro.empty() || options.outputKind == tabwright::OutputKind::Calc, "a macro for a .csv");
    return 0;
}
