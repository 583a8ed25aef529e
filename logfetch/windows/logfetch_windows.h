#pragma once

#include <memory>
#include <string>

#include "common/widgets/message_box_prompter.h"
#include "common/widgets/qt_file_dialog.h"
#include "logfetch/convert/step_values.h"
#include "logfetch/windows/step_windows.h"
#include "serial/qt_serial_port.h"

namespace logfetch {

class frmComSelect;
class frmConfirmOverwrite;
class frmConvertBINtoPRN;
class frmDownload;

// The real step windows of Logfetch, each made on first use and reused, all
// sharing the program's step values, its message boxes and file dialogs.
// Each is modal over the whole program while it is open.
class LogfetchWindows : public StepWindows {
public:
    LogfetchWindows(StepValues& values, std::string programFolder);
    ~LogfetchWindows() override;

    void showPortSelection() override;
    void runDownload() override;
    void showConversion() override;

private:
    frmConfirmOverwrite& confirmOverwrite();

    StepValues& values_;
    const std::string programFolder_;
    common::MessageBoxPrompter prompter_;
    common::QtFileDialog fileDialog_;
    serial::QtSerialPort probePort_;
    std::unique_ptr<frmConfirmOverwrite> confirmOverwrite_;
    std::unique_ptr<frmComSelect> comSelect_;
    std::unique_ptr<frmConvertBINtoPRN> conversion_;
    std::unique_ptr<frmDownload> download_;
};

}  // namespace logfetch
