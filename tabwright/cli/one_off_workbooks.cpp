#include "tabwright/cli/one_off_workbooks.h"

#include <filesystem>
#include <system_error>

namespace tabwright {

std::string OneOffWorkbooks::prepareWorkingCopy(const std::string& runName)
{
    std::string workingCopy = inner_.prepareWorkingCopy(runName);
    workingCopies_.push_back(workingCopy);
    return workingCopy;
}

void OneOffWorkbooks::removeWorkingCopies()
{
    for (const std::string& workingCopy : workingCopies_) {
        std::error_code ignored;  // one already gone needs nothing more
        std::filesystem::remove(workingCopy, ignored);
    }
    workingCopies_.clear();
}

}  // namespace tabwright
