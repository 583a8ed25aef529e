#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "common/core/prompter.h"
#include "logfetch/download/download_view.h"

namespace logfetch {

// Where an unattended download shows what the window would: instructions,
// block progress, the instrument's text lines and messages each on a line of
// err; the final counts alone on out, so that a script can read them.
class TerminalDownloadReport : public DownloadView, public common::Prompter {
public:
    TerminalDownloadReport(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // Tells the final counts text from the others; until set, none is.
    void setFinalCounts(std::function<std::string()> finalCounts) { finalCounts_ = std::move(finalCounts); }

    void setInstructions(std::string_view text) override { showChanged(text, instructions_); }
    void setStatus(std::string_view text) override;
    void addTextLine(std::string_view line) override { err_ << "Instrument: " << line << std::endl; }
    void showMessage(std::string_view text) override;

private:
    bool isFinalCounts(std::string_view text) const { return finalCounts_ && text == finalCounts_(); }
    // An empty or repeated text says nothing new on a terminal.
    void showChanged(std::string_view text, std::string& last);

    std::ostream& out_;
    std::ostream& err_;
    std::function<std::string()> finalCounts_;
    std::string instructions_;
    std::string status_;
};

}  // namespace logfetch
