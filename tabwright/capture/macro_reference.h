#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabwright {

// A macro as the user names it: "workbook!Name", where Name may be qualified as
// "Module.Name" or "Library.Module.Name". Nothing is trimmed.
struct MacroReference {
    std::string workbook;            // empty when the text holds no "!"
    std::vector<std::string> parts;  // Name, or Module and Name, or Library, Module and Name
};

MacroReference parseMacroReference(std::string_view text);

// Whether the reference names the macro `macro` in `module` of `library`. Basic names
// ignore letter case, so the comparison does too.
bool namesMacro(const MacroReference& reference, std::string_view library, std::string_view module,
                std::string_view macro);

}  // namespace tabwright
