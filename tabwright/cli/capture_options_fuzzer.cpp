// Feeds arbitrary arguments to the option parser of "tabwright capture" and checks that every
// accepted set of options holds only values the capture can use. Input: one argument per line.
#include <QDir>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tabwright/cli/capture_options.h"
#include "testing/fuzz_support.h"
#include "testing/temp_folder.h"

namespace {

bool withinLimits(const tabwright::LimitPair& limits)
{
    return limits.minimum >= -32768 && limits.maximum <= 32767 &&
           limits.maximum - limits.minimum + 1 >= -32768 && limits.maximum - limits.minimum + 1 <= 32767;
}

}  // namespace

using testing_support::fuzzCheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The output check makes and removes a probe file in the output's folder: every name
    // stays in a folder of the fuzzer's own.
    static testing_support::TempFolder folder;
    static const bool inFolder = QDir::setCurrent(QString::fromStdString(folder.path()));
    fuzzCheck(inFolder, "cannot enter the temporary folder");
    const QStringList arguments = testing_support::argumentsOf(data, size, {"tabwright", "capture"});
    for (const QString& argument : arguments)
        if (argument.contains(QLatin1Char('/')))
            return 0;

    const auto parsed = tabwright::parseCaptureOptions(arguments, "capture-default.ods");
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        fuzzCheck(!message->empty(), "a refusal without a message");
        return 0;
    }
    const auto& options = std::get<tabwright::CaptureOptions>(parsed);
    fuzzCheck(!options.port || (*options.port >= 1 && *options.port <= 16), "a port outside 1 to 16");
    fuzzCheck(!options.port || options.source == tabwright::CaptureSource::Port, "a port and an emulator");
    fuzzCheck(!options.seconds || (std::isfinite(*options.seconds) && *options.seconds > 0),
              "seconds that are not a time");
    fuzzCheck(withinLimits(options.measurement) && withinLimits(options.temperature), "limits out of range");
    fuzzCheck(!options.outputPath.empty(), "no output name");
    fuzzCheck(options.macro.empty() || options.outputKind == tabwright::OutputKind::Calc,
              "a macro for a .csv");
    return 0;
}
