#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <variant>

namespace tabwright {

// Where the captured text comes from.
enum class CaptureSource { Port, EmulatedK7rx, EmulatedVq480 };

// How the cells are kept: through LibreOffice Calc (saved as .ods, .xlsx or
// .xls), or in memory and written as a CSV table.
enum class OutputKind { Calc, Csv };

struct LimitPair {
    int minimum;
    int maximum;
};

// The longest run --seconds accepts: about 31 years, far beyond any run, and well inside what
// a deadline in milliseconds can hold.
constexpr double kLongestRunSeconds = 1e9;

// The exit status of a capture or replay whose workbook was saved whole but whose asked
// end-of-run macro did not run (not found, failed or refused), so that a script can tell.
constexpr int kSavedWithoutMacro = 3;

// "tabwright capture" as the user asked for it, every value checked.
struct CaptureOptions {
    CaptureSource source = CaptureSource::Port;
    std::optional<int> port;        // --port; else the saved port
    std::optional<double> seconds;  // --seconds; else until interrupted
    std::string outputPath;         // --output, or the default name
    bool outputNamed = false;       // --output given: only a name the user gave replaces a file
    OutputKind outputKind = OutputKind::Calc;
    std::string macro;              // --macro; empty for none
    std::string chartPath;          // --chart (.png or .svg); empty for none
    LimitPair measurement{50, 50};  // --measurement MIN:MAX
    LimitPair temperature{50, 50};  // --temperature MIN:MAX
    std::string index = "0000";     // --index
    int eolFrequency = 16;          // --eol-frequency
};

// The arguments as the program got them, "capture" among them, checked
// before anything opens: a usable CaptureOptions, or the message that tells
// what is wrong. `defaultName` is the output name when --output is not given.
std::variant<CaptureOptions, std::string> parseCaptureOptions(const QStringList& arguments,
                                                              const std::string& defaultName);

// What "tabwright capture --help" prints.
std::string captureHelp();

// The kind of output a file name asks for by its extension (any letter case); none for
// any other extension.
std::optional<OutputKind> kindOfOutput(const std::string& path);

// "capture-YYYY-MM-DD_HH-MM-SS.ods" for the given local date and time text
// "YYYY-MM-DD_HH-MM-SS".
std::string defaultCaptureName(const std::string& stamp);

}  // namespace tabwright
