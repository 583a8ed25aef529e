#include "logfetch/windows/logfetch_windows.h"

#include "common/core/single_byte_text.h"
#include "logfetch/program_identity.h"
#include "logfetch/windows/com_select_window.h"
#include "logfetch/windows/confirm_overwrite_window.h"
#include "logfetch/windows/convert_window.h"
#include "logfetch/windows/download_window.h"

namespace logfetch {

LogfetchWindows::LogfetchWindows(StepValues& values, std::string programFolder)
    : values_(values), programFolder_(std::move(programFolder)), prompter_(common::fromBytes(kProgramTitle))
{
}

LogfetchWindows::~LogfetchWindows() = default;

frmConfirmOverwrite& LogfetchWindows::confirmOverwrite()
{
    if (!confirmOverwrite_)
        confirmOverwrite_ = std::make_unique<frmConfirmOverwrite>(values_);
    return *confirmOverwrite_;
}

void LogfetchWindows::showPortSelection()
{
    if (!comSelect_)
        comSelect_ = std::make_unique<frmComSelect>(probePort_, prompter_, programFolder_);
    comSelect_->ShowForm();
}

void LogfetchWindows::runDownload()
{
    if (!download_)
        download_ = std::make_unique<frmDownload>(values_, prompter_, fileDialog_, confirmOverwrite(),
                                                  programFolder_, systemDownloadLink());
    download_->doprompt();
}

void LogfetchWindows::showConversion()
{
    if (!conversion_)
        conversion_ = std::make_unique<frmConvertBINtoPRN>(values_, prompter_, fileDialog_,
                                                           confirmOverwrite(), programFolder_);
    conversion_->ShowForm();
}

}  // namespace logfetch
