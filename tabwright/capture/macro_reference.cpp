#include "tabwright/capture/macro_reference.h"

#include "common/core/letter_case.h"

#include <algorithm>
#include <array>

namespace tabwright {

MacroReference parseMacroReference(std::string_view text)
{
    MacroReference reference;
    if (const auto bang = text.find('!'); bang != std::string_view::npos) {
        reference.workbook = text.substr(0, bang);
        text.remove_prefix(bang + 1);
    }
    for (;;) {
        const auto dot = text.find('.');
        reference.parts.emplace_back(text.substr(0, dot));
        if (dot == std::string_view::npos)
            break;
        text.remove_prefix(dot + 1);
    }
    return reference;
}

bool namesMacro(const MacroReference& reference, std::string_view library, std::string_view module,
                std::string_view macro)
{
    const std::array<std::string_view, 3> path{library, module, macro};
    const auto& parts = reference.parts;
    if (parts.size() > path.size())
        return false;
    const auto offset = path.size() - parts.size();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!common::equalIgnoringCase(parts[i], path[offset + i]))
            return false;
    }
    return true;
}

}  // namespace tabwright
