#pragma once

#include <string>
#include <vector>

#include "tabwright/capture/spreadsheet_factory.h"

namespace tabwright {

// The spreadsheets of a run from the command line, as `inner` gives them, with the
// working copies they were opened from remembered so that they can go once the run's
// output is saved: the output holds the cells, and a copy of the template beside it for
// every run would only pile up. (The window's runs keep theirs: the user works in them.)
class OneOffWorkbooks : public SpreadsheetFactory {
public:
    explicit OneOffWorkbooks(SpreadsheetFactory& inner) : inner_(inner) {}

    CaptureSpreadsheet makeSpreadsheet() override { return inner_.makeSpreadsheet(); }
    std::string prepareWorkingCopy(const std::string& runName) override;

    // Removes the working copies made so far; for after the application has quit.
    void removeWorkingCopies();

private:
    SpreadsheetFactory& inner_;
    std::vector<std::string> workingCopies_;
};

}  // namespace tabwright
