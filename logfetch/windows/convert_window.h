#pragma once

#include <memory>

#include <QDialog>

#include <string>

#include "common/core/file_dialog.h"
#include "common/core/prompter.h"
#include "logfetch/convert/step_values.h"
#include "logfetch/windows/confirm_overwrite_window.h"

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace logfetch {
class frmLogChart;
}

namespace common {
class ElidedPathLabel;
}

namespace logfetch {

// "Conversion from BIN to PRN": proposes gLastBinFile, lets the user browse
// for another .BIN, asks before an existing report is replaced, remembers the
// file in "lastbin.cfg" and converts it with a progress bar. It closes after
// the conversion, whatever its outcome, or on Cancel. With gStepMode 3 it
// starts converting by itself. After a conversion that completed it shows the
// readings of the log in a chart window of their own (frmLogChart), which stays
// until the next conversion.
class frmConvertBINtoPRN : public QDialog {
    Q_OBJECT

public:
    frmConvertBINtoPRN(StepValues& values, common::Prompter& prompter, common::FileDialog& fileDialog,
                       frmConfirmOverwrite& confirmOverwrite, std::string programFolder,
                       QWidget* parent = nullptr);
    ~frmConvertBINtoPRN() override;
    frmConvertBINtoPRN(const frmConvertBINtoPRN&) = delete;
    frmConvertBINtoPRN& operator=(const frmConvertBINtoPRN&) = delete;
    frmConvertBINtoPRN(frmConvertBINtoPRN&&) = delete;
    frmConvertBINtoPRN& operator=(frmConvertBINtoPRN&&) = delete;

    // The chart of the last conversion that completed; none before.
    frmLogChart* chartWindow() const { return chartWindow_.get(); }

    // Loads the window afresh and shows it modally until it unloads.
    void ShowForm();

    // Closing by the frame or with Escape is Cancel; it is refused while a
    // conversion runs, which cannot be stopped.
    void reject() override;

private:
    // The constructor's steps: the progress bar, where the controls stand, and the timers
    // and buttons connected to what they do.
    void setUpProgressBar();
    void layOutControls();
    void connectTimersAndButtons();

    void Form_Load();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void autoStartTimer_Timer();
    void progressTimer_Timer();

    void showChosenFile(std::string_view fullPath);
    void enterConvertingState();
    void unload();

    StepValues& values_;
    common::Prompter& prompter_;
    common::FileDialog& fileDialog_;
    frmConfirmOverwrite& confirmOverwrite_;
    const std::string programFolder_;

    // What lblFullPath and lblFilename show, as the bytes of the path.
    std::string fullPath_;
    std::string fileName_;
    bool converting_ = false;

    QLabel* lblStatus_;
    QLabel* fullPathCaption_;
    common::ElidedPathLabel* lblFullPath_;
    QLabel* filenameCaption_;
    common::ElidedPathLabel* lblFilename_;
    QLabel* percentDoneCaption_;
    QFrame* famPercent100_;
    QFrame* famPercentSome_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdBrowse_;
    QTimer* autoStartTimer_;
    QTimer* progressTimer_;
    std::unique_ptr<frmLogChart> chartWindow_;
};

}  // namespace logfetch
