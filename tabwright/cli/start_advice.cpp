#include "tabwright/cli/start_advice.h"

#include "tabwright/capture/capture_workbook.h"

namespace tabwright {

std::string startFailureAdvice(std::string_view reason)
{
    if (reason.starts_with(kNoWorkingCopyText))
        return "Make that folder one you may write into, or save to a .csv file (--output NAME.csv), "
               "which needs no working copy.";
    return "Without LibreOffice Calc, save to a .csv file (--output NAME.csv).";
}

}  // namespace tabwright
