#include "tabwright/cli/chart_output.h"

#include <filesystem>
#include <system_error>

#include <QString>

#include "common/chart/chart_file_kind.h"
#include "common/core/output_folder.h"
#include "common/widgets/chart_file.h"

namespace tabwright {

std::optional<std::string> chartPathProblem(const std::string& path)
{
    if (!common::chartFileKind(path))
        return common::chartFileKindRefusal(path);
    if (std::error_code ignored; std::filesystem::is_directory(path, ignored))
        return "cannot save " + path + ": it is a folder";
    if (const std::optional<std::string> reason = common::folderRefusesNewFiles(path))
        return "cannot save " + path + ": " + *reason;
    return std::nullopt;
}

int saveChart(const common::ReadingSet& readings, const std::string& title, const std::string& path,
              std::ostream& out, std::ostream& err)
{
    if (!common::writeChartFile(readings, QString::fromLocal8Bit(title), QString::fromLocal8Bit(path))) {
        err << "The chart could not be saved as " << path << '\n';
        return 1;
    }
    out << "Saved: " << path << '\n';
    return 0;
}

}  // namespace tabwright
