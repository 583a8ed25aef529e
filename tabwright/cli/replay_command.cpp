#include "tabwright/cli/replay_command.h"

#include <QCommandLineParser>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/core/command_line_usage.h"
#include "common/core/output_folder.h"
#include "tabwright/capture/capture_parser.h"
#include "tabwright/capture/capture_workbook.h"
#include "tabwright/files/ini_settings_store.h"
#include "tabwright/files/journal_rebuild.h"
#include "tabwright/files/journal_reader.h"
#include "tabwright/capture/journal_replay.h"
#include "tabwright/capture/sheet_limits.h"
#include "tabwright/capture/watched_sheet.h"
#include "tabwright/files/workbook_files.h"
#include "tabwright/chart/readings_from_rows.h"
#include "tabwright/cli/capture_options.h"
#include "tabwright/cli/chart_output.h"
#include "tabwright/cli/output_spreadsheets.h"
#include "tabwright/cli/save_output.h"
#include "tabwright/cli/start_advice.h"
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
                              "folder: ods (default), xlsx, xls or csv. An existing file is left alone: "
                              "the next free name is taken (NAME-2.ods).",
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

// Whether two paths name one file (also through links or other spellings).
bool sameFile(const std::string& one, const std::string& other)
{
    struct stat first {};
    struct stat second {};
    return ::stat(one.c_str(), &first) == 0 && ::stat(other.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Why the job's files cannot be used, told before anything opens: a journal or reads file
// that is no regular file (a FIFO would wait for a writer, a device read without end), an
// output that is a folder or a FIFO, or one that is the journal or its reads file itself.
std::optional<std::string> unusableFiles(const ReplayJob& job)
{
    const std::string reads = job.journal + ".reads";
    for (const std::string& input : {job.journal, reads})
        if (const std::optional<std::string> kind = common::nonRegularKind(input))
            return "cannot replay " + input + ": it is " + *kind + ", not a file";
    if (const std::optional<std::string> reason = common::outputRefusal(job.output))
        return "cannot save " + job.output + ": " + *reason;
    for (const std::string& input : {job.journal, reads})
        if (sameFile(job.output, input))
            return "cannot save " + job.output + ": it is " + input + " itself, which the replay reads";
    if (const std::optional<std::string> reason = common::folderRefusesNewFiles(job.output))
        return "cannot save " + job.output + ": " + *reason;
    return std::nullopt;
}

// The replay of one journal as the options ask for it, or what is wrong with it.
std::variant<ReplayJob, std::string> replayJob(const QString& journal, const QCommandLineParser& parser,
                                               const ReplayOptionNames& names, const std::string& extension,
                                               const std::string& macro)
{
    ReplayJob job{bytesOf(journal), bytesOf(parser.value(names.output)), parser.isSet(names.output)};
    if (!job.replaceOutput)
        job.output = std::filesystem::path(job.journal).stem().string() + "." + extension;
    const std::optional<OutputKind> kind = kindOfOutput(job.output);
    if (!kind)
        return job.replaceOutput
                   ? "--output must end in .ods, .xlsx, .xls or .csv, not \"" + job.output + "\""
                   : "--format takes ods, xlsx, xls or csv, not \"" + extension + "\"";
    if (!macro.empty() && *kind == OutputKind::Csv)
        return std::string(
            "--macro needs a LibreOffice workbook (.ods, .xlsx or .xls); a .csv file has no macros");
    if (const std::optional<std::string> problem = unusableFiles(job))
        return *problem;
    return job;
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
        auto job = replayJob(journal, parser, names, extension, options.macro);
        if (const auto* problem = std::get_if<std::string>(&job))
            return *problem;
        options.jobs.push_back(std::move(std::get<ReplayJob>(job)));
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

// Tells on standard error what the replay left behind in the journal or could not hold in
// the sheet.
void reportNotices(const JournalReplaySource& source, const ReplaySummary& summary, const SheetLimits& limits,
                   const ReplayJob& job, std::ostream& err)
{
    for (const std::string& warning : source.warnings())
        err << job.journal << ": " << warning << '\n';
    const SheetNotices notices = sheetNotices(summary.sheet, limits, kColumnLimit);
    for (const auto& notice : {notices.linesCut, notices.cellsShortened, notices.fieldsLeftOut})
        if (notice)
            err << job.journal << ": " << *notice << '\n';
}

// Tells how the saved replay went; the exit status.
int reportSaved(const std::string& saved, const ReplaySummary& summary, const SheetLimits& limits,
                bool macroRan, const ReplayJob& job, std::ostream& out, std::ostream& err)
{
    out << "Saved: " << saved << '\n'
        << "Journal: " << job.journal << '\n'
        << "Bytes replayed: " << summary.bytes << '\n'
        << sheetSummary(summary.sheet, limits, kColumnLimit);
    if (!summary.sheet.sheetHoldsEveryCell()) {
        err << "Not every line reached the sheet whole; the journal " << job.journal
            << " holds all the text.\n";
        return 1;
    }
    if (!macroRan) {
        err << "The workbook was saved, but the end-of-run macro did not run.\n";
        return kSavedWithoutMacro;
    }
    return 0;
}

// Writes the journal into `spreadsheet` (its capture workbook open), runs the macro and
// saves; the exit status. With `chart`, the rows written also go into its readings, each
// line at the time the run took it in.
int replayInto(const CaptureSpreadsheet& spreadsheet, const std::string& workbookName, const ReplayJob& job,
               const std::string& macro, JournalFiles files, common::ReadingSet* chart, std::ostream& out,
               std::ostream& err)
{
    SystemTimeOfDay now;
    JournalReplaySource source(std::move(files), now);
    common::ReadingSet unused;
    ReadingsFromRows chartRows(chart ? *chart : unused, source.stampClock({}));
    WatchedSheet sheet(*spreadsheet.sheet, chart ? &chartRows : nullptr);
    ProgressLine progress(err, job.journal);
    const SheetLimits limits = spreadsheet.sheet->limits();
    ReplaySummary summary;
    bool macroRan = true;
    std::string saved;
    try {
        summary = replayJournal(source, sheet, [&progress](std::int64_t taken, std::int64_t size) {
            progress.show(taken, size);
        });
        progress.end();
        reportNotices(source, summary, limits, job, err);
        // A macro is refused with a CSV output, which has no application.
        if (!macro.empty() && spreadsheet.application) {
            TerminalPrompter prompter(err);
            macroRan = runEndOfRunMacro(*spreadsheet.application, workbookName, macro, prompter);
        }
        saved = saveOutput(*spreadsheet.sheet, job.output, job.replaceOutput);
    } catch (const SpreadsheetError& error) {
        progress.end();
        err << "The replay of " << job.journal << " could not be saved as " << job.output << ": "
            << error.what() << '\n';
        return 1;
    } catch (const std::runtime_error& error) {
        // The journal itself could not be read to its end.
        progress.end();
        err << "The replay of " << job.journal << " stopped: " << error.what() << '\n';
        return 1;
    }
    return reportSaved(saved, summary, limits, macroRan, job, out, err);
}

// Replays one journal; the exit status.
int replayOne(const ReplayJob& job, const std::string& macro, common::ReadingSet* chart, std::ostream& out,
              std::ostream& err)
{
    JournalFiles files;
    try {
        files = readJournalFiles(job.journal);
    } catch (const std::runtime_error& error) {
        err << "tabwright replay: " << error.what() << '\n';
        return 1;
    }
    const IniSettingsStore settings;
    OutputSpreadsheets spreadsheets(settings, job.output);
    FreshWorkbook fresh = openFreshWorkbook(spreadsheets.factory(), rebuiltRunName(job.journal), false);
    int status = 1;
    if (fresh.opened && fresh.spreadsheet.sheet)
        status = replayInto(fresh.spreadsheet, fileNameOf(fresh.workingCopy), job, macro, std::move(files),
                            chart, out, err);
    else
        err << "MS Excel not available: " << fresh.reason << '\n' << startFailureAdvice(fresh.reason) << '\n';
    if (fresh.spreadsheet.application) {
        try {
            fresh.spreadsheet.application->quit();
        } catch (const SpreadsheetError&) {
            // An instance that cannot be told to quit is gone already.
        }
    }
    if (status != 1)
        spreadsheets.removeWorkingCopies();
    return status;
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
    // A failure outweighs a missed macro.
    int status = 0;
    common::ReadingSet chart;
    common::ReadingSet* charting = options.chartPath.empty() ? nullptr : &chart;
    for (const ReplayJob& job : options.jobs) {
        const int jobStatus = replayOne(job, options.macro, charting, out, err);
        if (jobStatus == 1 || status == 0)
            status = jobStatus;
    }
    // The chart of a replay that was not saved is not drawn either.
    if (charting && status != 1)
        status = std::max(status, saveChart(chart, "Readings of " + options.jobs.front().journal,
                                            options.chartPath, out, err));
    return status;
}

}  // namespace tabwright
