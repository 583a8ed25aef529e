#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tabwright/capture/cell_value.h"

namespace tabwright {

// What one sheet of a workbook holds once saved; the file's format decides.
struct SheetLimits {
    std::string_view format;     // the extension that names the format: "ods", "xlsx", "xls", "csv"
    int rows;                    // rows of one sheet: the rows past them go on in the next sheet
    int columns;                 // the last column: cells to its right are left out
    std::size_t cellCharacters;  // characters one cell keeps: a longer text is cut there
    // The stored size of cells (storedBytesOf) the whole workbook keeps. Calc writes every
    // sheet of an .ods file into one part of its archive, and cannot save that part past
    // 4 GiB: such a workbook is not saved at all.
    std::uint64_t workbookBytes = kAnyWorkbookSize;

    static constexpr std::uint64_t kAnyWorkbookSize = UINT64_MAX;
};

inline constexpr std::size_t kAnyCellLength = SIZE_MAX;
inline constexpr SheetLimits kOdsSheet{"ods", 1'048'576, 16'384, kAnyCellLength, std::uint64_t{4} << 30};
inline constexpr SheetLimits kXlsxSheet{"xlsx", 1'048'576, 16'384, 32'767};
inline constexpr SheetLimits kXlsSheet{"xls", 65'536, 256, 32'767};
// A CSV file has no last row; it keeps the width a spreadsheet opens.
inline constexpr SheetLimits kCsvSheet{"csv", INT_MAX, 16'384, kAnyCellLength};

// What writing `cells` in a row adds to the workbook's stored size, on the high side: the
// markup of the row and of each cell, each text twice (a number's value is kept beside
// the text shown) and each character that needs an escape at its longest. Measured
// against Calc's own files, it is 5 % above what a K7RX run stores.
std::uint64_t storedBytesOf(std::span<const CellValue> cells);

// Why a row was not written: the workbook would pass what its format can save.
std::string workbookFullReason(const SheetLimits& limits, int row);

// The limits of the format a file name's extension names (any letter case); .ods's for
// any other name.
SheetLimits sheetLimitsFor(std::string_view path);

// A line whose cells reached past the sheet's last column: its row and how many cells
// were left out.
struct CutLine {
    int row;
    std::size_t cellsLeftOut;
};

// A cell whose text was cut at the sheet's cell length.
struct CellPlace {
    int row;
    int column;
};

// What the lines written since a run's start did to the sheet: the rows it holds and what
// it could not hold.
struct SheetTally {
    int bottomRow = 0;  // the bottom row holding a written cell: the rows the sheet holds
    // Lines with cells past the sheet's last column, and those cells.
    std::int64_t linesCut = 0;
    std::int64_t cellsLeftOut = 0;
    std::optional<CutLine> lastCut;
    // Texts longer than a cell keeps, cut at its length.
    std::int64_t cellsShortened = 0;
    std::optional<CellPlace> lastShortened;
    // Plain lines with fields past the plain-line column limit, and those fields.
    std::int64_t plainLinesTrimmed = 0;
    std::int64_t fieldsLeftOut = 0;
    std::optional<int> firstTrimmedRow;
    // The stored size of the cells written (storedBytesOf), counted for a format that limits it.
    std::uint64_t storedBytes = 0;

    // Whether every cell of every line reached the sheet whole (fields past a plain
    // line's limit are never written, by rule, and do not count here).
    bool sheetHoldsEveryCell() const { return linesCut == 0 && cellsShortened == 0; }
};

// The messages for the user on what the sheet could not hold, one for each kind that
// happened: lines cut at the last column, texts cut at the cell length, plain-line fields
// left out past `plainColumnLimit`.
struct SheetNotices {
    std::optional<std::string> linesCut;
    std::optional<std::string> cellsShortened;
    std::optional<std::string> fieldsLeftOut;
};
SheetNotices sheetNotices(const SheetTally& tally, const SheetLimits& limits, int plainColumnLimit);

// A run's summary of its sheet, one line each, every line ending in LF: "Rows written: N",
// then, when they happened, the sheets the rows took and the counts of what was cut or
// left out.
std::string sheetSummary(const SheetTally& tally, const SheetLimits& limits, int plainColumnLimit);

}  // namespace tabwright
