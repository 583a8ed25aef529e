#include "tabwright/calc/calc_spreadsheet.h"

#include "common/core/letter_case.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <limits>
#include <optional>
#include <regex>

#include <QStandardPaths>

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/script/browse/XBrowseNode.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProviderSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XViewPane.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/URL.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include "tabwright/calc/office_instance.h"
#include "tabwright/calc/office_profile.h"
#include "tabwright/calc/uno_link.h"
#include "tabwright/capture/log_categories.h"
#include "tabwright/capture/macro_reference.h"
#include "tabwright/files/replace_file_content.h"
#include "tabwright/files/workbook_files.h"

namespace tabwright {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using namespace std::chrono_literals;

struct CalcSpreadsheet::Instance {
    std::unique_ptr<OfficeInstance> office;
    Reference<css::frame::XModel> capture;
    Reference<css::sheet::XSpreadsheetView> view;
    std::string capturePath;
    Reference<css::frame::XModel> personal;
    std::string personalPath;
    // The last row written so far (the highest number), counting from 1; 0 before the first.
    std::int64_t newestRow = 0;
};

namespace {

bool haveDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

// Whether the process behind a broken link has ended, rather than the user having closed
// the workbook's window while it runs on. Not waited for: the run asks again at its next
// tick and tells the newer answer.
bool processEnded(OfficeProcess* process)
{
    return process != nullptr && !process->running();
}

[[noreturn]] void throwEnded(const OUString& detail)
{
    logInfo(calcLog(), "LibreOffice Calc has ended: " + uno_link::toUtf8(detail));
    throw SpreadsheetError(SpreadsheetFailure::Ended, "LibreOffice Calc has ended");
}

// The office's words on a refusal, for the user. Its messages may be no more than the place
// in its own source files ("at ./sc/source/ui/unoobj/cellsuno.cxx:4962"): that goes to the
// log only.
std::string officeRefusal(const OUString& message)
{
    const std::string text = uno_link::toUtf8(message);
    logInfo(calcLog(), "LibreOffice Calc refused a request: " + text);
    static const std::regex sourcePlace(R"(\bat \S+:\d+:?)");
    std::string words = std::regex_replace(text, sourcePlace, "");
    words.erase(0, words.find_first_not_of(" \t\n"));
    words.erase(words.find_last_not_of(" \t\n") + 1);
    if (words.empty())
        return "LibreOffice Calc refused it without giving a reason";
    return "LibreOffice Calc refused it: " + words;
}

// Runs one step of UNO calls and turns what it throws into a SpreadsheetError: a disposed
// object means the workbook was closed, unless its process has ended (killed, crashed);
// a bridge whose process ended means the instance is gone.
template <typename Step>
auto guarded(OfficeProcess* process, Step&& step) -> decltype(step())
{
    try {
        return step();
    } catch (const css::lang::DisposedException& error) {
        if (processEnded(process))
            throwEnded(error.Message);
        // The office's own words name its source files; they go to the log, not to the user.
        logInfo(calcLog(), "the workbook is gone: " + uno_link::toUtf8(error.Message));
        throw SpreadsheetError(SpreadsheetFailure::Gone, "the spreadsheet has been closed");
    } catch (const css::uno::RuntimeException& error) {
        if (processEnded(process))
            throwEnded(error.Message);
        throw SpreadsheetError(SpreadsheetFailure::Failed, officeRefusal(error.Message));
    } catch (const css::uno::Exception& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed, officeRefusal(error.Message));
    } catch (const SpreadsheetError&) {
        throw;
    } catch (const std::exception& error) {
        throw SpreadsheetError(SpreadsheetFailure::Failed, error.what());
    }
}

Reference<css::frame::XModel> load(css::frame::XDesktop2& desktop, const std::string& path, bool hidden,
                                   bool macrosRun)
{
    if (std::error_code error; !fs::is_regular_file(path, error))
        throw SpreadsheetError(SpreadsheetFailure::Failed, "no workbook at " + path);
    css::uno::Sequence<css::beans::PropertyValue> arguments(3);
    arguments.getArray()[0] = property("Hidden", css::uno::Any(hidden));
    arguments.getArray()[1] = property("ReadOnly", css::uno::Any(hidden));
    arguments.getArray()[2] = property(
        "MacroExecutionMode", css::uno::Any(macrosRun ? css::document::MacroExecMode::ALWAYS_EXECUTE_NO_WARN
                                                      : css::document::MacroExecMode::NEVER_EXECUTE));
    Reference<css::frame::XModel> model(
        desktop.loadComponentFromURL(uno_link::fileUrl(path), "_blank", 0, arguments), UNO_QUERY);
    if (!model.is())
        throw SpreadsheetError(SpreadsheetFailure::Failed, "the workbook " + path + " could not be opened");
    return model;
}

// The macro the reference names among the Basic macros of one document, or none.
Reference<css::script::provider::XScript> findMacro(const Reference<css::frame::XModel>& document,
                                                    const MacroReference& reference)
{
    using css::script::browse::XBrowseNode;
    Reference<css::script::provider::XScriptProviderSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        return {};
    const auto provider = supplier->getScriptProvider();
    Reference<XBrowseNode> root(provider, UNO_QUERY);
    if (!root.is())
        return {};
    for (const auto& language : root->getChildNodes()) {
        if (language->getName() != "Basic")
            continue;
        for (const auto& library : language->getChildNodes()) {
            const std::string libraryName = uno_link::toText(library->getName());
            for (const auto& module : library->getChildNodes()) {
                const std::string moduleName = uno_link::toText(module->getName());
                for (const auto& macro : module->getChildNodes()) {
                    if (!namesMacro(reference, libraryName, moduleName, uno_link::toText(macro->getName())))
                        continue;
                    Reference<css::beans::XPropertySet> properties(macro, UNO_QUERY_THROW);
                    OUString uri;
                    properties->getPropertyValue("URI") >>= uri;
                    return provider->getScript(uri);
                }
            }
        }
    }
    return {};
}

void closeDocument(const Reference<css::frame::XModel>& document)
{
    Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
}

// The export filter for a workbook file name's extension, in any letter case.
std::optional<const char*> calcFilterFor(const std::string& path)
{
    const std::string extension = common::lowerCase(fs::path(path).extension().string());
    if (extension == ".ods")
        return "calc8";
    if (extension == ".xlsx")
        return "Calc MS Excel 2007 XML";
    if (extension == ".xls")
        return "MS Excel 97";
    return std::nullopt;
}

// Whether a stored workbook ends as its format must: a zip package (.ods, .xlsx) with its
// closing directory record in the last 64 KiB, a binary workbook with its header. Calc may
// report success for a file the disk could not take whole.
bool storedWhole(const std::string& file, std::string_view filter)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in.tellg();
    if (!in || size <= 0)
        return false;
    if (filter == "MS Excel 97") {
        in.seekg(0);
        std::string header(8, '\0');
        in.read(header.data(), 8);
        return in && header == std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    }
    const std::streamoff tail = std::min<std::streamoff>(size, 65'536 + 22);
    in.seekg(size - tail);
    std::string end(static_cast<std::size_t>(tail), '\0');
    in.read(end.data(), tail);
    return in && end.rfind(std::string("PK\x05\x06", 4)) != std::string::npos;
}

bool modified(const Reference<css::frame::XModel>& document)
{
    Reference<css::util::XModifiable> modifiable(document, UNO_QUERY);
    return modifiable.is() && modifiable->isModified();
}

// Asks Calc to quit as its own menu entry does, without waiting: the call returns at once
// and Calc asks the user about each modified document. A Cancel keeps Calc open.
void askToQuit(const Reference<css::frame::XModel>& document)
{
    css::util::URL command;
    command.Complete = ".uno:Quit";
    command.Main = command.Complete;
    command.Protocol = ".uno:";
    command.Path = "Quit";
    // Without a window or a quit command the workbook simply stays open, modified, for the user.
    const auto controller = document->getCurrentController();
    if (!controller.is())
        return;
    Reference<css::frame::XDispatchProvider> provider(controller->getFrame(), UNO_QUERY);
    Reference<css::frame::XDispatch> dispatch;
    if (provider.is())
        dispatch = provider->queryDispatch(command, "", 0);
    if (dispatch.is())
        dispatch->dispatch(command, {});
}

}  // namespace

std::string defaultStartupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
           "/Tabwright";
}

CalcOptions defaultCalcOptions()
{
    CalcOptions options;
    options.startupFolder = defaultStartupFolder();
    options.instancesFolder = privateInstancesFolder();
    return options;
}

CalcSpreadsheet::CalcSpreadsheet(CalcOptions options) : options_(std::move(options)) {}

CalcSpreadsheet::~CalcSpreadsheet()
{
    retire();
}

CalcSpreadsheet::Instance& CalcSpreadsheet::instance()
{
    if (!instance_)
        throw SpreadsheetError(SpreadsheetFailure::Failed, "no spreadsheet application instance");
    return *instance_;
}

void CalcSpreadsheet::retire()
{
    // An instance whose capture workbook never opened has no window: the user could neither
    // see nor end it, so it is ended here. Any other stays open for the user; only its
    // references are dropped.
    if (instance_ && !instance_->capture.is())
        quit();
    if (instance_)
        earlier_.push_back(instance_->office->release());
    instance_.reset();
    std::erase_if(earlier_, [](const auto& process) { return !process->running(); });
}

void CalcSpreadsheet::newInstance()
{
    retire();
    const bool headless = options_.display == CalcOptions::Display::Headless ||
                          (options_.display == CalcOptions::Display::Automatic && !haveDisplay());
    try {
        auto office = std::make_unique<OfficeInstance>(OfficeInstance::Settings{
            options_.program, options_.instancesFolder, headless, options_.startTimeout});
        instance_ = std::make_unique<Instance>();
        instance_->office = std::move(office);
    } catch (const std::exception& error) {
        logInfo(calcLog(), std::string("LibreOffice Calc did not start: ") + error.what());
        throw SpreadsheetError(SpreadsheetFailure::Failed, error.what());
    }
    logInfo(calcLog(), "LibreOffice Calc started (" + options_.program + ")");
}

std::string CalcSpreadsheet::startupPath()
{
    return options_.startupFolder;
}

bool CalcSpreadsheet::personalWorkbookExists(const std::string& path)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error && status.type() != fs::file_type::not_found)
        throw SpreadsheetError(SpreadsheetFailure::Failed, "cannot look at " + path + ": " + error.message());
    return fs::is_regular_file(status);
}

void CalcSpreadsheet::openPersonalWorkbook(const std::string& path)
{
    Instance& current = instance();
    // Hidden and read-only: it is a library of macros, and a copy open in an instance of
    // an earlier run must not make this one ask who holds the file.
    current.personal = guarded(&current.office->process(),
                               [&] { return load(*current.office->desktop(), path, true, true); });
    current.personalPath = path;
}

void CalcSpreadsheet::openCaptureWorkbook(const std::string& path)
{
    Instance& current = instance();
    // A lock left beside our own working copy (by an instance that was killed, or one of an
    // earlier run that still shows the older copy) would make Calc ask who holds the file.
    std::error_code ignored;
    fs::remove(lockFilePath(path), ignored);
    guarded(&current.office->process(), [&] {
        current.capture = load(*current.office->desktop(), path, false, options_.captureMacrosTrusted);
        current.view.set(current.capture->getCurrentController(), UNO_QUERY_THROW);
    });
    current.capturePath = path;
}

void CalcSpreadsheet::makeVisible()
{
    Instance& current = instance();
    guarded(&current.office->process(), [&] {
        if (!current.capture.is())
            throw SpreadsheetError(SpreadsheetFailure::Failed, "no capture workbook");
        Reference<css::frame::XController>(current.view, UNO_QUERY_THROW)
            ->getFrame()
            ->getContainerWindow()
            ->setVisible(true);
    });
}

namespace {

Reference<css::sheet::XSpreadsheet> activeSheet(const Reference<css::sheet::XSpreadsheetView>& view)
{
    if (!view.is())
        throw SpreadsheetError(SpreadsheetFailure::Failed, "no capture workbook");
    auto sheet = view->getActiveSheet();
    // A view whose window was closed answers with no sheet at all.
    if (!sheet.is())
        throw SpreadsheetError(SpreadsheetFailure::Gone, "the spreadsheet has been closed");
    return sheet;
}

// Why the active sheet refuses to have its cells written, when it is protected.
std::optional<std::string> protectionOf(const Reference<css::sheet::XSpreadsheetView>& view)
{
    try {
        const auto sheet = view.is() ? view->getActiveSheet() : nullptr;
        const Reference<css::util::XProtectable> protection(sheet, UNO_QUERY);
        if (!protection.is() || !protection->isProtected())
            return std::nullopt;
        const Reference<css::container::XNamed> named(sheet, UNO_QUERY);
        const std::string name = named.is() ? uno_link::toUtf8(named->getName()) : std::string("capture");
        return "the sheet \"" + name +
               "\" is protected, so its cells cannot be written. Remove its protection in the template "
               "(Tools > Protect Sheet) and start again; the journal keeps the text received";
    } catch (const css::uno::Exception&) {
        return std::nullopt;
    }
}

// Runs a cell write; one that a protected sheet refuses says so.
template <typename Write>
void writeCells(const Reference<css::sheet::XSpreadsheetView>& view, Write&& write)
{
    try {
        write();
    } catch (const SpreadsheetError& error) {
        if (error.failure() != SpreadsheetFailure::Failed)
            throw;
        if (const auto protection = protectionOf(view))
            throw SpreadsheetError(SpreadsheetFailure::Failed, *protection);
        throw;
    }
}

Reference<css::table::XCell> activeCell(const Reference<css::sheet::XSpreadsheetView>& view, int row,
                                        int column)
{
    return activeSheet(view)->getCellByPosition(column - 1, row - 1);
}

// A range write stores a text as text, never reading it as a number or a formula.
css::uno::Any anyOf(const CellValue& value)
{
    if (const auto* text = std::get_if<std::string_view>(&value))
        return css::uno::Any(uno_link::fromText(*text));
    return css::uno::Any(std::get<double>(value));
}

// A capture that goes on past a sheet's last row (in the format it is saved in) goes on at
// the top of a new sheet of the same workbook, "Capture (2)", "Capture (3)", ...
// Which of those sheets a row of the capture is on: 0 for the capture's own sheet.
int sheetIndexOf(int row, int sheetRows)
{
    return (row - 1) / sheetRows;
}

// The sheet `index` past the capture's own, made after the last sheet when missing.
Reference<css::sheet::XSpreadsheet> overflowSheet(const Reference<css::frame::XModel>& document, int index)
{
    const OUString name = uno_link::fromText("Capture (" + std::to_string(index + 1) + ")");
    const auto sheets = Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY_THROW)->getSheets();
    if (!sheets->hasByName(name)) {
        const sal_Int16 end = static_cast<sal_Int16>(
            Reference<css::container::XIndexAccess>(sheets, UNO_QUERY_THROW)->getCount());
        sheets->insertNewByName(name, end);
    }
    return Reference<css::sheet::XSpreadsheet>(sheets->getByName(name), UNO_QUERY_THROW);
}

// Rows that follow one another on one sheet of `sheetRows` rows from the same column with
// the same number of cells.
bool continues(const RowCells& previous, const RowCells& next, int sheetRows)
{
    return std::int64_t{next.row} == std::int64_t{previous.row} + 1 &&
           sheetIndexOf(next.row, sheetRows) == sheetIndexOf(previous.row, sheetRows) &&
           next.firstColumn == previous.firstColumn && next.values.size() == previous.values.size();
}

// The rows from `start` for which `continues` holds, as a count.
std::size_t runLength(std::span<const RowCells> rows, std::size_t start, int sheetRows)
{
    std::size_t end = start + 1;
    while (end < rows.size() && continues(rows[end - 1], rows[end], sheetRows))
        ++end;
    return end - start;
}

// True when the run of `height` rows at `next` is a single-cell column that stands right of
// the columns of `first`, from the same top row down as far: a block of readings beside the
// block before it.
bool besideColumn(const RowCells& first, std::size_t columns, const RowCells& next, std::size_t nextHeight,
                  std::size_t height)
{
    return first.values.size() == 1 && next.values.size() == 1 && nextHeight == height &&
           next.row == first.row &&
           std::int64_t{next.firstColumn} ==
               std::int64_t{first.firstColumn} + static_cast<std::int64_t>(columns);
}

// Writes `rows` as one cell range of a sheet of `sheetRows` rows: `rows.size() / height`
// runs of `height` rows each, every run standing right of the one before it (a single run
// may be several cells wide).
void writeRange(css::sheet::XSpreadsheet& sheet, std::span<const RowCells> rows, std::size_t height,
                int sheetRows)
{
    const std::size_t runs = rows.size() / height;
    const std::size_t width = rows.front().values.size();
    const std::int64_t left = std::int64_t{rows.front().firstColumn} - 1;
    const std::int64_t top = (std::int64_t{rows.front().row} - 1) % sheetRows;
    const std::int64_t right = left + static_cast<std::int64_t>(runs * width) - 1;
    const std::int64_t bottom = top + static_cast<std::int64_t>(height) - 1;
    constexpr std::int64_t kLargest = std::numeric_limits<sal_Int32>::max();
    if (right > kLargest || bottom > kLargest)
        throw SpreadsheetError(SpreadsheetFailure::Failed, "cells beyond the end of the sheet");
    css::uno::Sequence<css::uno::Sequence<css::uno::Any>> data(static_cast<sal_Int32>(height));
    auto* dataRows = data.getArray();
    for (std::size_t line = 0; line < height; ++line) {
        css::uno::Sequence<css::uno::Any> cells(static_cast<sal_Int32>(runs * width));
        auto* cell = cells.getArray();
        for (std::size_t run = 0; run < runs; ++run) {
            const auto& values = rows[run * height + line].values;
            cell = std::transform(values.begin(), values.end(), cell, anyOf);
        }
        dataRows[line] = cells;
    }
    const auto range =
        sheet.getCellRangeByPosition(static_cast<sal_Int32>(left), static_cast<sal_Int32>(top),
                                     static_cast<sal_Int32>(right), static_cast<sal_Int32>(bottom));
    Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
}

}  // namespace

namespace {

// Where the view's cursor is: the selection, when it lies on one row.
std::optional<css::table::CellRangeAddress> cursorRow(const Reference<css::sheet::XSpreadsheetView>& view)
{
    const Reference<css::view::XSelectionSupplier> selection(view, UNO_QUERY);
    if (!selection.is())
        return std::nullopt;
    const Reference<css::sheet::XCellRangeAddressable> selected(selection->getSelection(), UNO_QUERY);
    if (!selected.is())
        return std::nullopt;
    const auto address = selected->getRangeAddress();
    if (address.StartRow != address.EndRow)
        return std::nullopt;
    return address;
}

// Moves the view's cursor, in its column, to `row` (from 0) of the active sheet, showing
// that row at the bottom of the window when it was below it.
void moveCursorTo(const Reference<css::sheet::XSpreadsheetView>& view,
                  const css::table::CellRangeAddress& cursor, sal_Int32 row)
{
    const Reference<css::view::XSelectionSupplier> selection(view, UNO_QUERY_THROW);
    selection->select(css::uno::Any(activeSheet(view)->getCellByPosition(cursor.StartColumn, row)));
    const Reference<css::sheet::XViewPane> pane(view, UNO_QUERY);
    if (!pane.is())
        return;
    const auto visible = pane->getVisibleRange();
    if (row > visible.EndRow)
        pane->setFirstVisibleRow(std::max<sal_Int32>(0, row - (visible.EndRow - visible.StartRow)));
}

// Whether the view still shows `row` (from 0), the last row written before.
bool inView(const Reference<css::sheet::XSpreadsheetView>& view, sal_Int32 row)
{
    const Reference<css::sheet::XViewPane> pane(view, UNO_QUERY);
    if (!pane.is())
        return false;
    const auto visible = pane->getVisibleRange();
    return visible.StartRow <= row && row <= visible.EndRow;
}

}  // namespace

void CalcSpreadsheet::followRows(Instance& current, std::span<const RowCells> rows) const
{
    std::int64_t newest = current.newestRow;
    for (const RowCells& written : rows)
        newest = std::max<std::int64_t>(newest, written.row);
    // Rows count from 1 here and from 0 in the view; before the first row the cursor
    // starts on the top row.
    const auto lastBefore = static_cast<sal_Int32>(std::max<std::int64_t>(current.newestRow, 1) - 1);
    const bool moved = newest > current.newestRow;
    current.newestRow = newest;
    // Rows past the capture's own sheet go to the sheets after it; the view stays on the first.
    if (!followNewestRow_ || !moved || newest > options_.sheetLimits.rows)
        return;
    const auto cursor = cursorRow(current.view);
    if (!cursor || cursor->StartRow < lastBefore || !inView(current.view, lastBefore))
        return;
    moveCursorTo(current.view, *cursor, static_cast<sal_Int32>(newest - 1));
}

void CalcSpreadsheet::followNewestRow(bool follow)
{
    followNewestRow_ = follow;
}

void CalcSpreadsheet::writeText(int row, int column, std::string_view text)
{
    Instance& current = instance();
    writeCells(current.view, [&] {
        guarded(&current.office->process(), [&] {
            Reference<css::text::XText>(activeCell(current.view, row, column), UNO_QUERY_THROW)
                ->setString(uno_link::fromText(text));
        });
    });
}

void CalcSpreadsheet::writeNumber(int row, int column, double value)
{
    Instance& current = instance();
    writeCells(current.view, [&] {
        guarded(&current.office->process(), [&] { activeCell(current.view, row, column)->setValue(value); });
    });
}

void CalcSpreadsheet::writeRow(int row, int firstColumn, std::span<const CellValue> values)
{
    const RowCells cells{row, firstColumn, values};
    writeRows({&cells, 1});
}

void CalcSpreadsheet::writeRows(std::span<const RowCells> rows)
{
    Instance& current = instance();
    writeCells(current.view, [&] { writeRowsOf(current, rows); });
}

void CalcSpreadsheet::writeRowsOf(Instance& current, std::span<const RowCells> rows)
{
    guarded(&current.office->process(), [&] {
        const auto sheet = activeSheet(current.view);
        // Calc fits the height of every row written to all the cells of that row; with a
        // block column per VQ-480 block that grows with every column and makes each write
        // slower than the one before. Captured cells hold one line each, so rows keep
        // their height.
        const Reference<css::beans::XPropertySet> document(current.capture, UNO_QUERY);
        if (document.is())
            document->setPropertyValue("IsAdjustHeightEnabled", css::uno::Any(false));
        // Consecutive rows of one column and equal width go as one range; blocks of
        // readings, one column each, side by side and equally long, join into one range
        // too, since each range write is a round trip to Calc.
        const int sheetRows = options_.sheetLimits.rows;
        std::size_t start = 0;
        while (start < rows.size()) {
            const std::size_t height = runLength(rows, start, sheetRows);
            std::size_t end = start + height;
            for (std::size_t columns = 1; end < rows.size(); ++columns) {
                const std::size_t next = runLength(rows, end, sheetRows);
                if (!besideColumn(rows[start], columns, rows[end], next, height))
                    break;
                end += next;
            }
            if (const int index = sheetIndexOf(rows[start].row, sheetRows); !rows[start].values.empty())
                writeRange(index == 0 ? *sheet : *overflowSheet(current.capture, index),
                           rows.subspan(start, end - start), height, sheetRows);
            start = end;
        }
        followRows(current, rows);
    });
}

void CalcSpreadsheet::runMacro(std::string_view macro)
{
    Instance& current = instance();
    if (!options_.captureMacrosTrusted)
        throw SpreadsheetError(SpreadsheetFailure::MacroRefused, options_.untrustedReason);
    const MacroReference reference = parseMacroReference(macro);
    const bool anyWorkbook = reference.workbook.empty();
    const bool namesKnownWorkbook =
        anyWorkbook ||
        (current.capture.is() &&
         common::equalIgnoringCase(reference.workbook, fileNameOf(current.capturePath))) ||
        (current.personal.is() &&
         common::equalIgnoringCase(reference.workbook, fileNameOf(current.personalPath)));
    guarded(&current.office->process(), [&] {
        Reference<css::script::provider::XScript> script;
        if (namesKnownWorkbook) {
            for (const auto& document : {current.capture, current.personal}) {
                if (document.is() && !script.is())
                    script = findMacro(document, reference);
            }
        }
        if (!script.is())
            throw SpreadsheetError(SpreadsheetFailure::MacroNotFound, "no macro " + std::string(macro));
        css::uno::Sequence<sal_Int16> outIndices;
        css::uno::Sequence<css::uno::Any> outValues;
        try {
            script->invoke({}, outIndices, outValues);
        } catch (const css::lang::DisposedException&) {
            throw;
        } catch (const css::uno::Exception& error) {
            throw SpreadsheetError(SpreadsheetFailure::MacroFailed, uno_link::toUtf8(error.Message));
        }
    });
}

void CalcSpreadsheet::quit()
{
    if (!instance_)
        return;
    // Calc answers on a helper thread, so that a Calc that hangs cannot hold the program
    // beyond the time-out. The thread is joined when `request` goes, after a hung Calc has
    // been ended (which ends the call it waits in).
    std::future<QuitRequest> request =
        std::async(std::launch::async, [&current = *instance_] { return requestQuit(current); });
    const bool answered = request.wait_for(options_.quitTimeout) == std::future_status::ready;
    if (answered && request.get() == QuitRequest::LeftWithUser)
        leaveWithUser();
    else
        endInstance(answered);
}

CalcSpreadsheet::QuitRequest CalcSpreadsheet::requestQuit(Instance& current)
{
    try {
        // Documents go first, so Calc removes their lock files itself.
        if (current.personal.is())
            closeDocument(current.personal);
        // A modified workbook in a window is the user's to save: Calc asks, and the answer
        // may take any time. Nothing waits for it.
        if (current.capture.is() && !current.office->headless() && modified(current.capture)) {
            askToQuit(current.capture);
            return QuitRequest::LeftWithUser;
        }
        if (current.capture.is())
            closeDocument(current.capture);
        current.office->desktop()->terminate();
    } catch (const css::uno::Exception&) {
        // Gone already, or ended while answering: both leave nothing to close.
    }
    return QuitRequest::Sent;
}

void CalcSpreadsheet::leaveWithUser()
{
    std::cerr << "Calc asks whether to save " << fileNameOf(instance_->capturePath)
              << " and stays open until it is answered.\n"
              << std::flush;
    retire();
}

void CalcSpreadsheet::endInstance(bool quitSent)
{
    Instance& current = *instance_;
    current.office->finish(quitSent ? options_.quitTimeout : 0ms);
    // Calc removes its lock files itself, unless it had to be ended by force.
    std::error_code ignored;
    if (!current.capturePath.empty())
        fs::remove(lockFilePath(current.capturePath), ignored);
    instance_.reset();
}

std::string CalcSpreadsheet::workbookName()
{
    Instance& current = instance();
    return guarded(&current.office->process(), [&] {
        if (!current.capture.is())
            throw SpreadsheetError(SpreadsheetFailure::Failed, "no capture workbook");
        // Asking the document for its address fails once the document is gone.
        current.capture->getURL();
        return fileNameOf(current.capturePath);
    });
}

void CalcSpreadsheet::saveWorkbookAs(const std::string& path)
{
    Instance& current = instance();
    const std::optional<const char*> filter = calcFilterFor(path);
    if (!filter)
        throw SpreadsheetError(SpreadsheetFailure::Failed,
                               "cannot save " + path + ": not an .ods, .xlsx or .xls name");
    guarded(&current.office->process(), [&] {
        if (!current.capture.is())
            throw SpreadsheetError(SpreadsheetFailure::Failed, "no capture workbook");
        css::uno::Sequence<css::beans::PropertyValue> arguments(2);
        arguments.getArray()[0] = property("FilterName", css::uno::Any(OUString::createFromAscii(*filter)));
        arguments.getArray()[1] = property("Overwrite", css::uno::Any(true));
        // Stored beside the target and renamed over it once whole, so a full disk leaves
        // the earlier file (or none), never a part-written workbook.
        replaceFileBy(fs::absolute(path).string(), [&](const std::string& file) {
            Reference<css::frame::XStorable>(current.capture, UNO_QUERY_THROW)
                ->storeToURL(uno_link::fileUrl(file), arguments);
            if (!storedWhole(file, *filter))
                throw SpreadsheetError(SpreadsheetFailure::Failed,
                                       "cannot save " + path + ": the file was cut short");
        });
    });
}

std::string CalcSpreadsheet::pipeName() const
{
    return instance_ ? instance_->office->pipe() : std::string();
}

pid_t CalcSpreadsheet::processGroup() const
{
    return instance_ ? instance_->office->process().processGroup() : -1;
}

}  // namespace tabwright
