#include "tabwright/testing/calc_user_side.h"

#include <chrono>
#include <stdexcept>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/chart/XChartDocument.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XEmbeddedObjectSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XTableChartsSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "tabwright/calc/uno_link.h"

namespace testing_support {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using namespace std::chrono_literals;

CalcUserSide::CalcUserSide(const std::string& pipe)
    : desktop_(css::frame::Desktop::create(tabwright::uno_link::connect(pipe, 60s, [] { return true; })))
{
}

Reference<css::frame::XModel> CalcUserSide::document(const std::string& fileName)
{
    const auto documents = desktop_->getComponents()->createEnumeration();
    while (documents->hasMoreElements()) {
        Reference<css::frame::XModel> model(documents->nextElement(), css::uno::UNO_QUERY);
        if (model.is() && tabwright::uno_link::toUtf8(model->getURL()).ends_with("/" + fileName))
            return model;
    }
    throw std::runtime_error("no open document " + fileName);
}

Reference<css::table::XCell> CalcUserSide::cell(const std::string& fileName, int row, int column)
{
    const Reference<css::sheet::XSpreadsheetDocument> workbook(document(fileName), UNO_QUERY_THROW);
    const Reference<css::sheet::XSpreadsheet> sheet(workbook->getSheets()->getByName("Capture"),
                                                    UNO_QUERY_THROW);
    return sheet->getCellByPosition(column - 1, row - 1);
}

std::string CalcUserSide::text(const std::string& fileName, int row, int column)
{
    return tabwright::uno_link::toText(
        Reference<css::text::XText>(cell(fileName, row, column), UNO_QUERY_THROW)->getString());
}

bool CalcUserSide::hasChart(const std::string& fileName, const char* name)
{
    const Reference<css::sheet::XSpreadsheetDocument> workbook(document(fileName), UNO_QUERY_THROW);
    const Reference<css::table::XTableChartsSupplier> sheet(workbook->getSheets()->getByName("Capture"),
                                                            UNO_QUERY_THROW);
    return sheet->getCharts()->hasByName(rtl::OUString::createFromAscii(name));
}

std::string CalcUserSide::chartTitle(const std::string& fileName, const char* name)
{
    const Reference<css::sheet::XSpreadsheetDocument> workbook(document(fileName), UNO_QUERY_THROW);
    const Reference<css::table::XTableChartsSupplier> sheet(workbook->getSheets()->getByName("Capture"),
                                                            UNO_QUERY_THROW);
    const Reference<css::document::XEmbeddedObjectSupplier> chart(
        sheet->getCharts()->getByName(rtl::OUString::createFromAscii(name)), UNO_QUERY_THROW);
    const Reference<css::chart::XChartDocument> content(chart->getEmbeddedObject(), UNO_QUERY_THROW);
    const Reference<css::beans::XPropertySet> title(content->getTitle(), UNO_QUERY_THROW);
    rtl::OUString text;
    title->getPropertyValue("String") >>= text;
    return tabwright::uno_link::toText(text);
}

bool CalcUserSide::sheetVisible(const std::string& fileName, const char* sheet)
{
    const Reference<css::sheet::XSpreadsheetDocument> workbook(document(fileName), UNO_QUERY_THROW);
    const auto sheets = workbook->getSheets();
    const rtl::OUString sheetName = rtl::OUString::createFromAscii(sheet);
    if (!sheets->hasByName(sheetName))
        return false;
    bool visible = false;
    Reference<css::beans::XPropertySet>(sheets->getByName(sheetName), UNO_QUERY_THROW)
        ->getPropertyValue("IsVisible") >>= visible;
    return visible;
}

void CalcUserSide::close(const std::string& fileName)
{
    Reference<css::util::XCloseable>(document(fileName), UNO_QUERY_THROW)->close(true);
}

}  // namespace testing_support
