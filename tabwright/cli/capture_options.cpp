#include "tabwright/cli/capture_options.h"

#include <QCommandLineParser>

#include <filesystem>
#include <limits>

#include "common/core/leading_number.h"
#include "common/core/letter_case.h"
#include "common/core/output_folder.h"
#include "common/core/whole_number.h"
#include "serial/port_numbering.h"
#include "tabwright/cli/chart_output.h"

namespace tabwright {

namespace {

std::string bytesOf(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

// Every number option takes spaces around its value, as --port does; a
// whole number may be negative.
constexpr common::WholeNumberRule kOptionNumber{common::Blanks::Spaces, common::Sign::Minus};

// A whole number within [low, high], the whole text and nothing else.
std::optional<int> wholeNumber(std::string_view text, int low, int high)
{
    const std::optional<long long> number = common::wholeNumber(text, kOptionNumber, low, high);
    if (!number)
        return std::nullopt;
    return static_cast<int>(*number);
}

// A number of seconds above 0.
std::optional<double> positiveSeconds(std::string_view text)
{
    const std::optional<double> value = common::decimalNumber(text, kOptionNumber.blanks);
    return value && *value > 0 ? value : std::nullopt;
}

constexpr int kSmallest16 = std::numeric_limits<std::int16_t>::min();
constexpr int kLargest16 = std::numeric_limits<std::int16_t>::max();

// "MIN:MAX", both whole 16-bit numbers whose span (MAX - MIN + 1) the
// instrument's draw can hold.
std::optional<LimitPair> limitPair(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const std::string_view pair = text;
    const auto minimum = wholeNumber(pair.substr(0, colon), kSmallest16, kLargest16);
    const auto maximum = wholeNumber(pair.substr(colon + 1), kSmallest16, kLargest16);
    if (!minimum || !maximum)
        return std::nullopt;
    const int span = *maximum - *minimum + 1;
    if (span < kSmallest16 || span > kLargest16)
        return std::nullopt;
    return LimitPair{*minimum, *maximum};
}

// The options of "tabwright capture", with what --help says of them.
struct CaptureOptionNames {
    QCommandLineOption port{"port", "Capture from COM port N (default: the saved port).", "N"};
    QCommandLineOption emulate{"emulate", "Capture from the emulated K7RX or VQ-480 instead of a port.",
                               "MACHINE"};
    QCommandLineOption seconds{"seconds", "Stop after S seconds (default: at Ctrl-C).", "S"};
    QCommandLineOption output{
        "output", "Save the cells in FILE: .ods, .xlsx or .xls through LibreOffice Calc, .csv without it.",
        "FILE"};
    QCommandLineOption macro{"macro", "Run this end-of-run macro before saving (not with .csv).", "NAME"};
    QCommandLineOption chart{"chart", "Also draw the readings of the run into FILE (.png or .svg).", "FILE"};
    QCommandLineOption measurement{"measurement", "Emulated K7RX measurement limits (default 50:50).",
                                   "MIN:MAX"};
    QCommandLineOption temperature{"temperature", "Emulated K7RX temperature limits (default 50:50).",
                                   "MIN:MAX"};
    QCommandLineOption index{"index", "Emulated K7RX four-digit index (default 0000).", "TEXT"};
    QCommandLineOption eolFrequency{"eol-frequency", "Emulated VQ-480 lines per group (default 16).", "N"};
};

void addCaptureOptions(QCommandLineParser& parser, const CaptureOptionNames& names)
{
    parser.setApplicationDescription(
        "Captures what the instrument sends into a spreadsheet, without a window. Progress goes to\n"
        "standard error, a summary to standard output; Ctrl-C stops the capture and saves it.");
    parser.addPositionalArgument("capture", "Capture into a spreadsheet.", "capture");
    parser.addOptions({names.port, names.emulate, names.seconds, names.output, names.macro, names.chart,
                       names.measurement, names.temperature, names.index, names.eolFrequency});
}

}  // namespace

std::string captureHelp()
{
    QCommandLineParser parser;
    const CaptureOptionNames names;
    addCaptureOptions(parser, names);
    parser.addHelpOption();
    return bytesOf(parser.helpText());
}

std::optional<OutputKind> kindOfOutput(const std::string& path)
{
    const std::string extension = common::lowerCase(std::filesystem::path(path).extension().string());
    if (extension == ".ods" || extension == ".xlsx" || extension == ".xls")
        return OutputKind::Calc;
    if (extension == ".csv")
        return OutputKind::Csv;
    return std::nullopt;
}

std::string defaultCaptureName(const std::string& stamp)
{
    return "capture-" + stamp + ".ods";
}

namespace {

// What is wrong with the arguments; nothing when they are right.
using Refusal = std::optional<std::string>;

// --port or --emulate: where the text comes from.
Refusal readSource(const QCommandLineParser& parser, const CaptureOptionNames& names, CaptureOptions& options)
{
    if (parser.isSet(names.port) && parser.isSet(names.emulate))
        return "--port and --emulate cannot go together: the text comes from one of them";
    if (parser.isSet(names.port)) {
        options.port = serial::portNumberOfText(bytesOf(parser.value(names.port)));
        if (!options.port)
            return "--port takes a COM port number from 1 to 16, not \"" + bytesOf(parser.value(names.port)) +
                   "\"";
    }
    if (parser.isSet(names.emulate)) {
        const std::string machine = bytesOf(parser.value(names.emulate));
        if (machine == "K7RX")
            options.source = CaptureSource::EmulatedK7rx;
        else if (machine == "VQ-480")
            options.source = CaptureSource::EmulatedVq480;
        else
            return "--emulate takes K7RX or VQ-480, not \"" + machine + "\"";
    }
    return std::nullopt;
}

// --seconds: how long the run lasts.
Refusal readSeconds(const QCommandLineParser& parser, const CaptureOptionNames& names,
                    CaptureOptions& options)
{
    if (!parser.isSet(names.seconds))
        return std::nullopt;
    const std::string text = bytesOf(parser.value(names.seconds));
    options.seconds = positiveSeconds(text);
    if (!options.seconds || *options.seconds > kLongestRunSeconds)
        return "--seconds takes a number of seconds above 0 and at most " +
               std::to_string(static_cast<long long>(kLongestRunSeconds)) + ", not \"" + text + "\"";
    return std::nullopt;
}

// --measurement, --temperature, --index and --eol-frequency: how the emulated instruments speak.
Refusal readEmulatorSettings(const QCommandLineParser& parser, const CaptureOptionNames& names,
                             CaptureOptions& options)
{
    for (const auto& [option, pair] : {std::pair{&names.measurement, &options.measurement},
                                       std::pair{&names.temperature, &options.temperature}}) {
        if (!parser.isSet(*option))
            continue;
        const std::string text = bytesOf(parser.value(*option));
        const std::optional<LimitPair> limits = limitPair(text);
        if (!limits)
            return "--" + bytesOf(option->names().first()) +
                   " takes MIN:MAX, two whole numbers from -32768 to 32767 at most 32767 apart, not \"" +
                   text + "\"";
        *pair = *limits;
    }
    if (parser.isSet(names.index))
        options.index = bytesOf(parser.value(names.index));
    if (parser.isSet(names.eolFrequency)) {
        const std::string text = bytesOf(parser.value(names.eolFrequency));
        const std::optional<int> frequency = wholeNumber(text, kSmallest16, kLargest16);
        if (!frequency)
            return "--eol-frequency takes a whole number from -32768 to 32767, not \"" + text + "\"";
        options.eolFrequency = *frequency;
    }
    return std::nullopt;
}

// --output, --macro and --chart: what the run leaves behind, checked before anything opens.
Refusal readOutputs(const QCommandLineParser& parser, const CaptureOptionNames& names,
                    const std::string& defaultName, CaptureOptions& options)
{
    options.outputNamed = parser.isSet(names.output);
    options.outputPath = options.outputNamed ? bytesOf(parser.value(names.output)) : defaultName;
    const std::optional<OutputKind> kind = kindOfOutput(options.outputPath);
    if (!kind)
        return "--output must end in .ods, .xlsx, .xls or .csv, not \"" + options.outputPath + "\"";
    options.outputKind = *kind;
    options.macro = bytesOf(parser.value(names.macro));
    if (!options.macro.empty() && options.outputKind == OutputKind::Csv)
        return "--macro needs a LibreOffice workbook (.ods, .xlsx or .xls); a .csv file has no macros";
    if (const std::optional<std::string> reason = common::outputRefusal(options.outputPath))
        return "cannot save " + options.outputPath + ": " + *reason;
    if (const std::optional<std::string> reason = common::folderRefusesNewFiles(options.outputPath))
        return "cannot save " + options.outputPath + ": " + *reason;
    if (parser.isSet(names.chart)) {
        options.chartPath = bytesOf(parser.value(names.chart));
        return chartPathProblem(options.chartPath);
    }
    return std::nullopt;
}

}  // namespace

std::variant<CaptureOptions, std::string> parseCaptureOptions(const QStringList& arguments,
                                                              const std::string& defaultName)
{
    QCommandLineParser parser;
    const CaptureOptionNames names;
    addCaptureOptions(parser, names);
    if (!parser.parse(arguments))
        return bytesOf(parser.errorText());
    if (parser.positionalArguments().size() > 1)
        return std::string("capture takes no file names; use --output FILE");
    CaptureOptions options;
    if (Refusal refusal = readSource(parser, names, options))
        return *refusal;
    if (Refusal refusal = readSeconds(parser, names, options))
        return *refusal;
    if (Refusal refusal = readEmulatorSettings(parser, names, options))
        return *refusal;
    if (Refusal refusal = readOutputs(parser, names, defaultName, options))
        return *refusal;
    return options;
}

}  // namespace tabwright
