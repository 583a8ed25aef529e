#pragma once

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/core/file_dialog.h"
#include "common/core/prompter.h"
#include "serial/serial_port.h"
#include "tabwright/capture/background_step.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/files/capture_journal.h"
#include "tabwright/files/journal_rebuild.h"
#include "tabwright/capture/platform_version.h"
#include "tabwright/capture/port_or_emulator_source.h"
#include "tabwright/files/serial_port_source.h"
#include "tabwright/capture/settings_store.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;

namespace common {
class ElidedLabel;
}

namespace tabwright {

class ReadingsChartMenu;

class frmAbout;
class frmExcelMacro;

// What the main window works with; all of it outlives the window.
struct MainWindowParts {
    SpreadsheetFactory& spreadsheets;
    serial::SerialPort& port;  // MSComm1
    // Read instead of the port while the emulator is on (its window loaded); Start then
    // opens no port.
    EmulatorSource& emulator;
    TimeOfDay& clock;
    SettingsStore& settings;
    const PlatformVersionQuery& platform;
    common::Prompter& prompter;
    // The per-user data folder, where the capture journals are kept.
    std::string dataFolder;
};

// The emulator window as the main window needs it: shown by "Emulator" in the Tools menu,
// brought to the front with the main window, unloaded with the main window. Any may be
// empty while there is no emulator window.
struct EmulatorWindowHooks {
    std::function<void()> show;
    std::function<void()> unload;
    std::function<void()> bringToFront;
};

// The capture's main window: the port and spreadsheet lamps, the status line, Start,
// Pause/Resume (one place, the enabled one in front), Stop and Close, and the 100 ms
// reading timer. The run itself is a CaptureRun; this window shows it and feeds it clicks.
class frmMain : public QMainWindow, private RunView, private RunTimer {
    Q_OBJECT

public:
    explicit frmMain(MainWindowParts parts, QWidget* parent = nullptr);
    ~frmMain() override;

    void setEmulatorWindowHooks(EmulatorWindowHooks hooks);
    // The dialog "Rebuild From Journal..." picks a journal with; Qt's own until one is given.
    void setJournalFileDialog(common::FileDialog& dialog) { journalDialog_ = &dialog; }
    // The spreadsheet of the last rebuild; empty before the first.
    const CaptureSpreadsheet& rebuiltWorkbook() const { return rebuilt_; }
    // Where the spreadsheet application starts and quits (see CaptureRun::runSlowStepsWith).
    void runSlowStepsWith(BackgroundStep& steps) { run_.runSlowStepsWith(steps); }

    const CaptureRun& run() const { return run_; }
    // "Readings Chart" and "Chart From Journal..." of the Tools menu.
    ReadingsChartMenu& readingsCharts() { return *readingsCharts_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void cmdStart_Click();
    void cmdPause_Click();
    void cmdResume_Click();
    void cmdStop_Click();
    void cmdClose_Click();
    void cmdComPorts_Click();
    void cmdExcelMacro_Click();
    void tmrMain_Timer();
    void mnuToolsDLREmulation_Click() const;
    void mnuToolsJournalFolder_Click();
    void mnuToolsFollowNewestRow_Click(bool checked);
    void mnuToolsRebuildFromJournal_Click();
    void mnuHelpAbout_Click();

    void buildControls();
    // buildControls's groups: the status frame with its lamps, its status line and the
    // line of its reason; the run's buttons beside it, in the layout returned.
    void buildStatusFrame(QWidget* centre);
    void buildStatusLine();
    QLayout* buildRunButtons(QWidget* centre);
    void buildMenus();
    void placeOnScreen();
    // The port's number, or "Emulator" while the emulator feeds the run.
    void showPortNumber();
    // Each setting is written as it changes, so no way the program ends loses it.
    void saveSettings();
    void showRebuild(JournalRebuild& rebuild);

    // RunView: the picture mapped to the lamps, the status line and the run buttons.
    void showRun(const RunPicture& picture) override;
    void bringWindowToFront() override;
    void showLamp(QFrame* lamp, LampColour colour);
    void showStatus(const QString& text, const QString& path);
    void keepFocusOffClose(RunPhase phase);
    void showReason(const QString& reason);
    // RunTimer
    void setTimerEnabled(bool enabled) override;
    void rearmAtOnce() override;

    QPushButton* button(RunButton which) const;

    MainWindowParts parts_;
    SerialPortSource portSource_;
    PortOrEmulatorSource textSource_;
    CaptureJournal journal_;
    CaptureRun run_;
    EmulatorWindowHooks emulator_;
    bool unloaded_ = false;
    RunPhase focusPhase_ = RunPhase::Stopped;  // the phase the focus was last placed for

    QGroupBox* fraStatus_;
    QFrame* panComPort_;
    QLabel* imgComPort_;
    QLabel* lblComPort_;
    QPushButton* cmdComPorts_;
    QFrame* panExcel_;
    QLabel* imgExcel_;
    QLabel* lblExcel_;
    QPushButton* cmdExcelMacro_;
    common::ElidedLabel* panStatus_;
    QLabel* lblStatusReason_;
    QPushButton* cmdStart_;
    QPushButton* cmdPause_;
    QPushButton* cmdResume_;
    QPushButton* cmdStop_;
    QPushButton* cmdClose_;
    QTimer tmrMain_;
    QAction* mnuToolsDLREmulation_ = nullptr;
    QAction* mnuToolsJournalFolder_ = nullptr;
    QAction* mnuToolsFollowNewestRow_ = nullptr;
    QAction* mnuToolsRebuildFromJournal_ = nullptr;
    std::unique_ptr<common::FileDialog> qtFileDialog_;
    common::FileDialog* journalDialog_ = nullptr;
    // Left open for the user, as the instance of an earlier Start is.
    CaptureSpreadsheet rebuilt_;
    // Where a rebuild runs; its own, so a Start never waits for a rebuild.
    ThreadStep rebuildSteps_;
    QAction* mnuHelpAbout_ = nullptr;
    std::unique_ptr<frmExcelMacro> excelMacro_;
    std::unique_ptr<frmAbout> about_;
    std::unique_ptr<ReadingsChartMenu> readingsCharts_;
};

}  // namespace tabwright
