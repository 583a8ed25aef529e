#pragma once

#include <string>

#include <com/sun/star/frame/XDesktop2.hpp>

namespace tabwright {

// Writes a new workbook at `path` in LibreOffice's own format: one empty sheet named
// `sheetName` and the Basic module `moduleName` with `source` in its Standard library.
void writeWorkbookWithMacros(css::frame::XDesktop2& desktop, const std::string& path,
                             const std::string& sheetName, const std::string& moduleName,
                             const std::string& source);

}  // namespace tabwright
