#include "tabwright/calc/workbook_maker.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XEmbeddedScripts.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "tabwright/calc/uno_link.h"

namespace tabwright {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

css::uno::Sequence<css::beans::PropertyValue> oneProperty(const char* name, const css::uno::Any& value)
{
    css::uno::Sequence<css::beans::PropertyValue> properties(1);
    properties.getArray()[0].Name = rtl::OUString::createFromAscii(name);
    properties.getArray()[0].Value = value;
    return properties;
}

}  // namespace

void writeWorkbookWithMacros(css::frame::XDesktop2& desktop, const std::string& path,
                             const std::string& sheetName, const std::string& moduleName,
                             const std::string& source)
{
    const auto document = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                                       oneProperty("Hidden", css::uno::Any(true)));
    const Reference<css::sheet::XSpreadsheetDocument> spreadsheet(document, UNO_QUERY_THROW);
    const Reference<css::container::XNamed> sheet(
        spreadsheet->getSheets()->getByName(spreadsheet->getSheets()->getElementNames()[0]), UNO_QUERY_THROW);
    sheet->setName(uno_link::fromText(sheetName));

    const auto libraries =
        Reference<css::document::XEmbeddedScripts>(document, UNO_QUERY_THROW)->getBasicLibraries();
    if (!libraries->hasByName("Standard"))
        libraries->createLibrary("Standard");
    const Reference<css::container::XNameContainer> standard(libraries->getByName("Standard"),
                                                             UNO_QUERY_THROW);
    standard->insertByName(uno_link::fromText(moduleName), css::uno::Any(uno_link::fromText(source)));

    Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)
        ->storeToURL(uno_link::fileUrl(path),
                     oneProperty("FilterName", css::uno::Any(rtl::OUString("calc8"))));
    Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
}

}  // namespace tabwright
