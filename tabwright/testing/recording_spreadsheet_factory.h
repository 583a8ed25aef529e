#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tabwright/capture/spreadsheet_factory.h"
#include "tabwright/testing/recording_spreadsheet.h"

namespace testing_support {

// Makes a RecordingSpreadsheet for every Start and keeps them all, so a test can look at
// the instance of any run, also after the run control has let it go.
class RecordingSpreadsheetFactory : public tabwright::SpreadsheetFactory {
public:
    tabwright::CaptureSpreadsheet makeSpreadsheet() override
    {
        if (failMaking)
            throw std::runtime_error("no spreadsheet application, as told");
        made.push_back(std::make_shared<RecordingSpreadsheet>());
        if (prepare)
            prepare(*made.back());
        return tabwright::applicationWithSheet(made.back());
    }
    std::string prepareWorkingCopy(const std::string& runName) override
    {
        runNames.push_back(runName);
        if (!preparingFails.empty())
            throw std::runtime_error(preparingFails);
        return workingCopy;
    }

    // The spreadsheet of the last Start; throws when none was made.
    RecordingSpreadsheet& last() const
    {
        if (made.empty())
            throw std::runtime_error("no spreadsheet made");
        return *made.back();
    }

    std::vector<std::shared_ptr<RecordingSpreadsheet>> made;
    // The run name of every Start's working copy, in order.
    std::vector<std::string> runNames;
    // Runs on each new spreadsheet before the run uses it (to make calls fail).
    std::function<void(RecordingSpreadsheet&)> prepare;
    std::string workingCopy = "/tmp/tabwright-test/spreadsheet.ods";
    bool failMaking = false;
    // When set, preparing the working copy fails with this text (as with no template).
    std::string preparingFails;
};

}  // namespace testing_support
