#pragma once

#include <memory>
#include <vector>

#include <QObject>

#include "common/core/file_dialog.h"
#include "common/core/prompter.h"
#include "tabwright/capture/capture_run.h"
#include "tabwright/chart/run_readings.h"

class QAction;
class QMenu;
class QWidget;

namespace tabwright {

class frmReadingsChart;

// The readings charts of the main window: "Readings Chart" (Ctrl+R) shows the chart of the
// run in progress, fed by every row the run writes, which stays after Stop until the next
// Start; "Chart From Journal..." charts any journal through the replay, each in a window
// of its own.
class ReadingsChartMenu : public QObject {
    Q_OBJECT

public:
    ReadingsChartMenu(QMenu& tools, CaptureRun& run, TimeOfDay& clock, common::Prompter& prompter,
                      QWidget& window);
    ~ReadingsChartMenu() override;
    ReadingsChartMenu(const ReadingsChartMenu&) = delete;
    ReadingsChartMenu& operator=(const ReadingsChartMenu&) = delete;
    ReadingsChartMenu(ReadingsChartMenu&&) = delete;
    ReadingsChartMenu& operator=(ReadingsChartMenu&&) = delete;

    // A Start forgets the readings of the run before.
    void runStarting() { runReadings_.restart(); }
    // The dialog "Chart From Journal..." picks a journal with; Qt's own until one is given.
    void setJournalFileDialog(common::FileDialog& dialog) { journalDialog_ = &dialog; }

    const common::ReadingSet& runReadings() const { return runReadings_.readings(); }
    // Whether the run feeds every row it writes to the run's chart: from the start, so a
    // chart opened late shows the whole run; off only to measure what feeding costs.
    void setFeedingRun(bool feeding) { run_.setRowWatcher(feeding ? &runReadings_ : nullptr); }
    frmReadingsChart* runChart() const { return runChart_.get(); }
    const std::vector<std::unique_ptr<frmReadingsChart>>& journalCharts() const { return journalCharts_; }

private:
    void mnuToolsReadingsChart_Click();
    void mnuToolsChartFromJournal_Click();

    CaptureRun& run_;
    TimeOfDay& clock_;
    common::Prompter& prompter_;
    QWidget& window_;
    RunReadings runReadings_;
    std::unique_ptr<frmReadingsChart> runChart_;
    std::vector<std::unique_ptr<frmReadingsChart>> journalCharts_;
    std::unique_ptr<common::FileDialog> qtFileDialog_;
    common::FileDialog* journalDialog_ = nullptr;
};

}  // namespace tabwright
