#include "common/core/path_text.h"

namespace common {

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != kPathSeparator)
        path += kPathSeparator;
    // An empty folder means the current one: the name alone.
    return path.append(name);
}

SplitPath splitPath(std::string_view path)
{
    const std::size_t last = path.rfind(kPathSeparator);
    if (last == std::string_view::npos)
        return {{}, std::string(path)};
    return {std::string(path.substr(0, last + 1)), std::string(path.substr(last + 1))};
}

}  // namespace common
