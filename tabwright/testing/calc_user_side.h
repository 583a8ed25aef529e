#pragma once

#include <string>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>

namespace testing_support {

// Plays the user at a running Calc instance over a connection of its own: finds an open
// document by file name, reads its "Capture" sheet's cells and charts, closes it.
class CalcUserSide {
public:
    explicit CalcUserSide(const std::string& pipe);

    css::uno::Reference<css::frame::XModel> document(const std::string& fileName);
    // Rows and columns count from 1.
    css::uno::Reference<css::table::XCell> cell(const std::string& fileName, int row, int column);
    std::string text(const std::string& fileName, int row, int column);
    bool hasChart(const std::string& fileName, const char* name);
    // The main title of the "Capture" sheet's chart `name`.
    std::string chartTitle(const std::string& fileName, const char* name);
    // Whether the workbook has a sheet `sheet` that the user sees.
    bool sheetVisible(const std::string& fileName, const char* sheet);
    void close(const std::string& fileName);

    css::frame::XDesktop2& desktop() { return *desktop_; }

private:
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

}  // namespace testing_support
