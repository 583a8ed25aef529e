#pragma once

#include <QDialog>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/core/file_dialog.h"
#include "common/core/path_text.h"
#include "common/core/prompter.h"
#include "logfetch/convert/step_values.h"
#include "logfetch/download/clock.h"
#include "logfetch/download/download_driver.h"
#include "logfetch/download/download_view.h"
#include "logfetch/windows/confirm_overwrite_window.h"
#include "serial/serial_port.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace common {
class ElidedPathLabel;
}

namespace logfetch {

// What a download is made with, afresh each time the window opens: the
// serial port and the clock of the time-out.
struct DownloadLink {
    std::function<std::unique_ptr<serial::SerialPort>()> makePort;
    std::function<std::unique_ptr<Clock>()> makeClock;
};

// The serial ports of the system and the time of day.
DownloadLink systemDownloadLink();

// "Download": opens the port saved in "serialport.cfg", receives the
// instrument's data-logger memory into "~tempidl.bin" in the program's
// folder, then turns into a small save form where the user names the .BIN.
// Saving copies the temporary file (which is kept) to that name and records
// it in gLastBinFile and "lastbin.cfg". Cancel, and a port that cannot be
// opened, set gStepMode to 1 so that no conversion follows.
class frmDownload : public QDialog, private DownloadView {
    Q_OBJECT

public:
    frmDownload(StepValues& values, common::Prompter& prompter, common::FileDialog& fileDialog,
                frmConfirmOverwrite& confirmOverwrite, std::string programFolder, DownloadLink link,
                QWidget* parent = nullptr);

    // Opens the port, shows the window modally and returns when it has been
    // unloaded. A port that cannot be opened is told in a message box and the
    // window is never shown.
    void doprompt();

    // Closing by the frame or with Escape: during the transfer it is Cancel;
    // in the save step it asks before the download is left unsaved (it stays
    // in "~tempidl.bin" until the next download).
    void reject() override;

private:
    enum class Stage { Unloaded, Transfer, Save };

    void Form_Load();
    void transferStartTimer_Timer();
    void cmdCancel_Click();
    void cmdBrowse_Click();
    void cmdOK_Click();

    // The transfer has ended: the save step, or unload after Cancel.
    void transferEnded();
    void enterSaveStep();
    void showTarget(common::SplitPath target);
    bool leaveUnsavedConfirmed();
    void unload();
    // The constructor's steps: every control at its design place, then the timer and the
    // buttons connected to what they do.
    void placeControls();
    void connectTimerAndButtons();
    // Captions at their design places, wider when the font needs it, and the
    // values right of them.
    void placeCaptionsAndValues();
    // Widens the window (never below its design, never beyond the screen) so
    // that no text is cut, and keeps it in the middle of the screen; a path
    // too long for the screen is shown elided.
    void fitToTexts();
    std::string tempFilePath() const;

    void setInstructions(std::string_view text) override;
    void setStatus(std::string_view text) override;
    void addTextLine(std::string_view line) override;

    StepValues& values_;
    common::Prompter& prompter_;
    common::FileDialog& fileDialog_;
    frmConfirmOverwrite& confirmOverwrite_;
    const std::string programFolder_;
    const DownloadLink link_;

    // The download in progress, made afresh by each doprompt.
    std::unique_ptr<serial::SerialPort> port_;
    std::unique_ptr<Clock> clock_;
    std::optional<DownloadDriver> driver_;
    Stage stage_ = Stage::Unloaded;
    bool cancelClicked_ = false;

    // Where the labels that size to their text start.
    QPoint instructionsPlace_;
    QPoint fullPathPlace_;
    QPoint filenamePlace_;

    // What lblFullPath and lblFilename show, as the bytes of the path.
    std::string fullPath_;
    std::string fileName_;

    QLabel* instructionsCaption_;
    QLabel* lblInstructions_;
    QFrame* famDownloading_;
    QLabel* statusCaption_;
    QLabel* lblStatus_;
    QPushButton* cmdCancel_;
    QFrame* famGetFilename_;
    QLabel* fullPathCaption_;
    common::ElidedPathLabel* lblFullPath_;
    QLabel* filenameCaption_;
    common::ElidedPathLabel* lblFilename_;
    QPushButton* cmdBrowse_;
    QPushButton* cmdOK_;
    QListWidget* receivedLines_;
    QTimer* transferStartTimer_;
};

}  // namespace logfetch
