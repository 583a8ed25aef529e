#pragma once

#include <string>
#include <vector>

#include "logfetch/download/download_view.h"

namespace testing_support {

// Keeps what a download showed: the latest texts and every text line.
class RecordingDownloadView : public logfetch::DownloadView {
public:
    void setInstructions(std::string_view text) override { instructions = text; }
    void setStatus(std::string_view text) override { status = text; }
    void addTextLine(std::string_view line) override { textLines.emplace_back(line); }

    std::string instructions;
    std::string status;
    std::vector<std::string> textLines;
};

}  // namespace testing_support
