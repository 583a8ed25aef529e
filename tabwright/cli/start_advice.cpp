#include "tabwright/cli/start_advice.h"

#include "tabwright/capture/capture_workbook.h"

namespace tabwright {

std::string startFailureAdvice(std::string_view reason)
{
    if (reason.starts_with(kNoWorkingCopyText) && reason.find("no template in:") == std::string_view::npos)
        return "Make that folder one you may write into, or save to a .csv file (--output NAME.csv), "
               "which needs no working copy.";
    return std::string(kCsvAdvice);
}

}  // namespace tabwright
