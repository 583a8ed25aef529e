#pragma once

#include <string>
#include <string_view>

namespace tabwright {

// What a user of the command line can do when the capture workbook could not be had, for
// the `reason` Start gave: a working folder to mend, or LibreOffice Calc to do without.
std::string startFailureAdvice(std::string_view reason);

}  // namespace tabwright
