#include "tabwright/testing/calc_user_side.h"

#include <chrono>
#include <stdexcept>

#include <com/sun/star/container/XEnumerationAccess.hpp>
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

void CalcUserSide::close(const std::string& fileName)
{
    Reference<css::util::XCloseable>(document(fileName), UNO_QUERY_THROW)->close(true);
}

}  // namespace testing_support
