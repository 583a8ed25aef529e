#include "tabwright/capture/macro_reference.h"

#include <algorithm>
#include <array>

namespace capture {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

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
        if (!sameName(parts[i], path[offset + i]))
            return false;
    }
    return true;
}

}  // namespace capture
