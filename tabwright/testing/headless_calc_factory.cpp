#include "tabwright/testing/headless_calc_factory.h"

#include <filesystem>
#include <utility>

#include "tabwright/calc/office_profile.h"
#include "tabwright/files/workbook_files.h"

namespace testing_support {

HeadlessCalcFactory::HeadlessCalcFactory(const TempFolder& root, std::string templateFolder)
    : root_(root), templateFolder_(std::move(templateFolder))
{
    for (const char* folder : {"startup", "instances", "work"})
        std::filesystem::create_directories(root.file(folder));
}

HeadlessCalcFactory::~HeadlessCalcFactory()
{
    calc.reset();
    tabwright::removeProfilesOfEndedInstances(root_.file("instances"));
}

tabwright::CaptureSpreadsheet HeadlessCalcFactory::makeSpreadsheet()
{
    calc = std::make_shared<tabwright::CalcSpreadsheet>(
        tabwright::CalcOptions{root_.file("startup"), root_.file("instances"), display});
    return tabwright::applicationWithSheet(calc);
}

std::string HeadlessCalcFactory::prepareWorkingCopy(const std::string& runName)
{
    return tabwright::prepareWorkingCopy({{templateFolder_}, root_.file("work")}, runName);
}

}  // namespace testing_support
