#include "tabwright/cli/replay_command.h"

#include <QCommandLineParser>

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/core/command_line_usage.h"
#include "common/core/output_folder.h"
#include "tabwright/calc/calc_spreadsheet_factory.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/capture/journal_rebuild.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/capture/watched_sheet.h"
#include "tabwright/capture/workbook_files.h"
#include "tabwright/chart/readings_from_rows.h"
#include "tabwright/cli/capture_options.h"
#include "tabwright/cli/chart_output.h"
#include "tabwright/cli/csv_spreadsheet.h"
#include "tabwright/cli/terminal_prompter.h"

namespace tabwright {

namespace {

struct ReplayJob {
    std::string journal;
    std::string output;
    bool replaceOutput;  // only a name the user gave replaces a file
};

struct ReplayOptions {
    std::vector<ReplayJob> jobs;
    std::string macro;
    std::string chartPath;  // --chart; empty for none
};

std::string bytesOf(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

struct ReplayOptionNames {
    QCommandLineOption output{"output",
                              "Save the workbook as FILE: .ods, .xlsx or .xls through LibreOffice "
                              "Calc, .csv without it (one journal only).",
                              "FILE"};
    QCommandLineOption format{"format",
                              "Save each workbook as the journal's name with this extension in the current "
                              "folder: ods (default), xlsx, xls or csv. An existing file is left alone.",
                              "EXT"};
    QCommandLineOption macro{"macro", "Run this end-of-run macro before saving (not with .csv).", "NAME"};
    QCommandLineOption chart{
        "chart", "Also draw the readings of the run into FILE (.png or .svg; one journal only).", "FILE"};
};

void addReplayOptions(QCommandLineParser& parser, const ReplayOptionNames& names)
{
    parser.setApplicationDescription(
        "Rebuilds the workbook of each capture run from its journal (in ~/.local/share/Tabwright/journal),\n"
        "cell for cell as the run wrote it. Progress goes to standard error, a summary to standard output.");
    parser.addPositionalArgument("replay", "Rebuild workbooks from journals.", "replay");
    parser.addPositionalArgument("JOURNAL", "A capture journal (NAME.txt, its NAME.txt.reads beside it).",
                                 "JOURNAL...");
    parser.addOptions({names.output, names.format, names.macro, names.chart});
    parser.addHelpOption();
}

std::variant<ReplayOptions, std::string> parseReplayOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    const ReplayOptionNames names;
    addReplayOptions(parser, names);
    if (!parser.parse(arguments))
        return bytesOf(parser.errorText());
    const QStringList journals = parser.positionalArguments().mid(1);
    if (journals.isEmpty())
        return std::string("name at least one journal");
    if (parser.isSet(names.output) && journals.size() > 1)
        return std::string("--output names one file; with several journals use --format");
    if (parser.isSet(names.output) && parser.isSet(names.format))
        return std::string("--output and --format cannot go together: the output's name gives its format");
    if (parser.isSet(names.chart) && journals.size() > 1)
        return std::string("--chart names one file; chart one journal at a time");
    const std::string extension = parser.isSet(names.format) ? bytesOf(parser.value(names.format)) : "ods";
    ReplayOptions options;
    options.macro = bytesOf(parser.value(names.macro));
    options.chartPath = bytesOf(parser.value(names.chart));
    if (parser.isSet(names.chart))
        if (const std::optional<std::string> problem = chartPathProblem(options.chartPath))
            return *problem;
    for (const QString& journal : journals) {
        ReplayJob job{bytesOf(journal), bytesOf(parser.value(names.output)), parser.isSet(names.output)};
        if (!job.replaceOutput)
            job.output = std::filesystem::path(job.journal).stem().string() + "." + extension;
        const std::optional<OutputKind> kind = kindOfOutput(job.output);
        if (!kind)
            return job.replaceOutput
                       ? "--output must end in .ods, .xlsx, .xls or .csv, not \"" + job.output + "\""
                       : "--format takes ods, xlsx, xls or csv, not \"" + extension + "\"";
        if (!options.macro.empty() && *kind == OutputKind::Csv)
            return std::string(
                "--macro needs a LibreOffice workbook (.ods, .xlsx or .xls); a .csv file has no macros");
        if (const std::optional<std::string> reason = common::folderRefusesNewFiles(job.output))
            return "cannot save " + job.output + ": " + *reason;
        options.jobs.push_back(std::move(job));
    }
    return options;
}

// Shows the share of the journal replayed: on a terminal one line rewritten at each whole
// percent; elsewhere (a log file, a pipe) a line of its own at every tenth.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, std::string name)
        : err_(err), name_(std::move(name)), rewrite_(&err == &std::cerr && ::isatty(STDERR_FILENO) == 1)
    {
    }
    void show(std::int64_t taken, std::int64_t size)
    {
        int percent = size > 0 ? static_cast<int>(taken * 100 / size) : 100;
        if (!rewrite_)
            percent -= percent % 10;
        if (percent == shown_)
            return;
        shown_ = percent;
        if (rewrite_)
            err_ << "\rReplaying " << name_ << ": " << percent << "%" << std::flush;
        else
            err_ << "Replaying " << name_ << ": " << percent << "%" << std::endl;
    }
    void end()
    {
        if (rewrite_ && shown_ >= 0)
            err_ << '\n';
    }

private:
    std::ostream& err_;
    std::string name_;
    bool rewrite_;
    int shown_ = -1;
};

// Writes the journal into `spreadsheet` (its capture workbook open), runs the macro and saves.
// With `chart`, the rows written also go into its readings, each line at the time the run
// took it in.
bool replayInto(const CaptureSpreadsheet& spreadsheet, const std::string& workbookName, const ReplayJob& job,
                const std::string& macro, JournalFiles files, common::ReadingSet* chart, std::ostream& out,
                std::ostream& err)
{
    SystemTimeOfDay now;
    JournalReplaySource source(std::move(files), now);
    common::ReadingSet unused;
    ReadingsFromRows chartRows(chart ? *chart : unused, source.stampClock({}));
    WatchedSheet sheet(*spreadsheet.sheet, chart ? &chartRows : nullptr);
    ProgressLine progress(err, job.journal);
    ReplaySummary summary;
    try {
        summary = replayJournal(source, sheet, [&progress](std::int64_t taken, std::int64_t size) {
            progress.show(taken, size);
        });
        progress.end();
        for (const std::string& warning : source.warnings())
            err << job.journal << ": " << warning << '\n';
        // A macro is refused with a CSV output, which has no application.
        if (!macro.empty() && spreadsheet.application) {
            TerminalPrompter prompter(err);
            runEndOfRunMacro(*spreadsheet.application, workbookName, macro, prompter);
        }
        spreadsheet.sheet->saveWorkbookAs(job.output);
    } catch (const SpreadsheetError& error) {
        progress.end();
        err << "The replay of " << job.journal << " could not be saved as " << job.output << ": "
            << error.what() << '\n';
        return false;
    }
    out << "Saved: " << job.output << '\n'
        << "Journal: " << job.journal << '\n'
        << "Bytes replayed: " << summary.bytes << '\n'
        << "Rows written: " << summary.rows << '\n';
    return true;
}

bool replayOne(const ReplayJob& job, const std::string& macro, common::ReadingSet* chart, std::ostream& out,
               std::ostream& err)
{
    if (!job.replaceOutput && std::filesystem::exists(job.output)) {
        err << job.output << " exists and is left as it is; name another with --output\n";
        return false;
    }
    JournalFiles files;
    try {
        files = readJournalFiles(job.journal);
    } catch (const std::runtime_error& error) {
        err << "tabwright replay: " << error.what() << '\n';
        return false;
    }
    CsvSpreadsheetFactory csv(job.output);
    CalcSpreadsheetFactory calc;
    SpreadsheetFactory& spreadsheets =
        kindOfOutput(job.output) == OutputKind::Csv ? static_cast<SpreadsheetFactory&>(csv) : calc;
    FreshWorkbook fresh = openFreshWorkbook(spreadsheets, rebuiltRunName(job.journal), false);
    bool saved = false;
    if (fresh.opened && fresh.spreadsheet.sheet)
        saved = replayInto(fresh.spreadsheet, fileNameOf(fresh.workingCopy), job, macro, std::move(files),
                           chart, out, err);
    else
        err << "MS Excel not available: LibreOffice Calc could not be started or could not open the capture "
               "workbook. Without it, save to a .csv file (--output NAME.csv).\n";
    if (fresh.spreadsheet.application) {
        try {
            fresh.spreadsheet.application->quit();
        } catch (const SpreadsheetError&) {
            // An instance that cannot be told to quit is gone already.
        }
    }
    return saved;
}

}  // namespace

int runReplayCommand(const QStringList& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        QCommandLineParser parser;
        const ReplayOptionNames names;
        addReplayOptions(parser, names);
        out << bytesOf(parser.helpText());
        return 0;
    }
    const auto parsed = parseReplayOptions(arguments);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        err << "tabwright replay: " << *problem << "; see tabwright replay --help\n";
        return common::kUsageError;
    }
    const ReplayOptions& options = std::get<ReplayOptions>(parsed);
    int status = 0;
    common::ReadingSet chart;
    common::ReadingSet* charting = options.chartPath.empty() ? nullptr : &chart;
    for (const ReplayJob& job : options.jobs)
        if (!replayOne(job, options.macro, charting, out, err))
            status = 1;
    // The chart of a replay that was not saved is not drawn either.
    if (charting && status == 0)
        status = saveChart(chart, "Readings of " + options.jobs.front().journal, options.chartPath, out, err);
    return status;
}

}  // namespace tabwright
