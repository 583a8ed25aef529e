#include "tabwright/capture/sheet_limits.h"

#include <variant>

#include "common/core/letter_case.h"
#include "tabwright/capture/digit_grouping.h"

namespace tabwright {

namespace {

std::string grouped(std::int64_t count)
{
    return groupedDigits(static_cast<std::uint64_t>(count));
}

// "1 line" or "3 lines".
std::string counted(std::int64_t count, std::string_view one, std::string_view many)
{
    return grouped(count) + " " + std::string(count == 1 ? one : many);
}

std::string formatName(const SheetLimits& limits)
{
    std::string name(1, '.');
    name.append(limits.format);
    return name;
}

}  // namespace

std::uint64_t storedBytesOf(std::span<const CellValue> cells)
{
    constexpr std::uint64_t kRowMarkup = 60;
    constexpr std::uint64_t kCellMarkup = 110;
    constexpr std::uint64_t kNumberText = 24;    // the most characters a number is shown with
    constexpr std::uint64_t kLongestEscape = 6;  // "&quot;" for '"'
    std::uint64_t bytes = kRowMarkup;
    for (const CellValue& cell : cells) {
        bytes += kCellMarkup;
        const auto* text = std::get_if<std::string_view>(&cell);
        if (text == nullptr) {
            bytes += 2 * kNumberText;
            continue;
        }
        bytes += 2 * text->size();
        for (const char c : *text)
            if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'')
                bytes += 2 * (kLongestEscape - 1);
    }
    return bytes;
}

std::string workbookFullReason(const SheetLimits& limits, int row)
{
    return "The workbook is full: a " + formatName(limits) + " workbook saves at most " +
           grouped(static_cast<std::int64_t>(limits.workbookBytes >> 30)) + " GiB of cells, and row " +
           grouped(row) +
           " would pass it. The journal keeps every line received: replay it into a .csv file "
           "(tabwright replay JOURNAL --output NAME.csv).";
}

SheetLimits sheetLimitsFor(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::string extension =
        dot == std::string_view::npos ? std::string() : common::lowerCase(path.substr(dot + 1));
    for (const SheetLimits& limits : {kXlsxSheet, kXlsSheet, kCsvSheet})
        if (extension == limits.format)
            return limits;
    return kOdsSheet;
}

SheetNotices sheetNotices(const SheetTally& tally, const SheetLimits& limits, int plainColumnLimit)
{
    SheetNotices notices;
    const std::string lastColumn = grouped(limits.columns) + " in " + formatName(limits);
    if (tally.lastCut && tally.linesCut == 1)
        notices.linesCut = "A line too wide for the sheet was cut at its last column (" + lastColumn +
                           "): row " + std::to_string(tally.lastCut->row) + ", " +
                           counted(static_cast<std::int64_t>(tally.lastCut->cellsLeftOut), "cell", "cells") +
                           " left out; the journal holds the whole line";
    else if (tally.lastCut)
        notices.linesCut = "Lines too wide for the sheet were cut at its last column (" + lastColumn +
                           "): " + counted(tally.linesCut, "line", "lines") + ", " +
                           counted(tally.cellsLeftOut, "cell", "cells") + " left out, the last in row " +
                           std::to_string(tally.lastCut->row) + "; the journal holds the whole lines";
    if (tally.lastShortened)
        notices.cellsShortened = counted(tally.cellsShortened, "text was", "texts were") +
                                 " longer than a cell of " + formatName(limits) + " keeps and cut at " +
                                 grouped(static_cast<std::int64_t>(limits.cellCharacters)) +
                                 " characters, the last in row " + std::to_string(tally.lastShortened->row) +
                                 ", column " + std::to_string(tally.lastShortened->column) +
                                 "; the journal holds the whole text";
    if (tally.firstTrimmedRow)
        notices.fieldsLeftOut = "Fields past column " + std::to_string(plainColumnLimit) +
                                " of a plain (TAB-separated) line are left out, as from row " +
                                std::to_string(*tally.firstTrimmedRow) +
                                "; the journal keeps them and the summary counts them";
    return notices;
}

std::string sheetSummary(const SheetTally& tally, const SheetLimits& limits, int plainColumnLimit)
{
    std::string summary = "Rows written: " + std::to_string(tally.bottomRow) + "\n";
    if (tally.bottomRow > limits.rows) {
        const std::int64_t sheets = (std::int64_t{tally.bottomRow} - 1) / limits.rows + 1;
        summary += "Sheets: " + grouped(sheets) + " (" + grouped(limits.rows) + " rows each in " +
                   formatName(limits) + "; the rows past them are on \"Capture (2)\" and after)\n";
    }
    if (tally.linesCut > 0)
        summary += "Lines cut at the last column (" + grouped(limits.columns) +
                   "): " + grouped(tally.linesCut) + ", " + counted(tally.cellsLeftOut, "cell", "cells") +
                   " left out\n";
    if (tally.cellsShortened > 0)
        summary += "Texts cut at " + grouped(static_cast<std::int64_t>(limits.cellCharacters)) +
                   " characters: " + grouped(tally.cellsShortened) + "\n";
    if (tally.plainLinesTrimmed > 0)
        summary += "Fields left out past column " + std::to_string(plainColumnLimit) + ": " +
                   grouped(tally.fieldsLeftOut) + " (" +
                   counted(tally.plainLinesTrimmed, "plain line", "plain lines") + ")\n";
    return summary;
}

}  // namespace tabwright
