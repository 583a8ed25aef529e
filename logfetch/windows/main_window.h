#pragma once

#include <QMainWindow>

#include <string>

#include "logfetch/convert/step_values.h"
#include "logfetch/windows/about_window.h"
#include "logfetch/windows/step_windows.h"

class QAction;
class QLabel;
class QListWidget;
class QPushButton;

namespace logfetch {

// Logfetch's launcher: four buttons (and the same four entries of the Tools
// menu, on F2 to F5) start the port selection, the download, the conversion,
// or the download followed by the conversion. The step windows do the work;
// this window only sets gStepMode and opens them one at a time.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // Loads at once: runs the start-up character probe, sets the caption and
    // reads the last .BIN from "lastbin.cfg" in the program folder.
    frmMain(StepValues& values, StepWindows& steps, std::string programFolder, QWidget* parent = nullptr);

private:
    void Form_Load();
    void cmdSerialPortSetup_Click();
    void cmdDownload_Click();
    void cmdConvertBINtoPRN_Click();
    void cmdAllSteps_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();

    // The four step buttons at their design places, with the "-OR-" between them, in their tab order.
    void buildButtons(QWidget* client);
    void createMenus();
    QAction* addMenuEntry(QMenu& menu, const char* objectName, const char* caption,
                          const QKeySequence& shortcut, QPushButton* pressedButton);

    StepValues& values_;
    StepWindows& steps_;
    const std::string programFolder_;
    frmAbout about_;

    QPushButton* cmdSerialPortSetup_;
    QPushButton* cmdDownload_;
    QPushButton* cmdConvertBINtoPRN_;
    QLabel* orLabel_;
    QPushButton* cmdAllSteps_;
    QListWidget* jfixTable_;
};

}  // namespace logfetch
