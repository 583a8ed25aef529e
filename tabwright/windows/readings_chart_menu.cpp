#include "tabwright/windows/readings_chart_menu.h"

#include <stdexcept>

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "common/core/single_byte_text.h"
#include "common/widgets/qt_file_dialog.h"
#include "common/widgets/readings_chart.h"
#include "tabwright/files/journal_chart.h"
#include "tabwright/windows/readings_chart_window.h"

namespace tabwright {

ReadingsChartMenu::ReadingsChartMenu(QMenu& tools, CaptureRun& run, TimeOfDay& clock,
                                     common::Prompter& prompter, QWidget& window)
    : QObject(&window), run_(run), clock_(clock), prompter_(prompter), window_(window), runReadings_(clock)
{
    run_.setRowWatcher(&runReadings_);
    QAction* readingsChart = tools.addAction(QStringLiteral("Readings &Chart"));
    readingsChart->setObjectName(QStringLiteral("mnuToolsReadingsChart"));
    readingsChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction* chartFromJournal = tools.addAction(QStringLiteral("C&hart From Journal..."));
    chartFromJournal->setObjectName(QStringLiteral("mnuToolsChartFromJournal"));
    connect(readingsChart, &QAction::triggered, this, &ReadingsChartMenu::mnuToolsReadingsChart_Click);
    connect(chartFromJournal, &QAction::triggered, this, &ReadingsChartMenu::mnuToolsChartFromJournal_Click);
}

ReadingsChartMenu::~ReadingsChartMenu()
{
    run_.setRowWatcher(nullptr);
}

void ReadingsChartMenu::mnuToolsReadingsChart_Click()
{
    if (!runChart_)
        runChart_ =
            std::make_unique<frmReadingsChart>(runReadings_.readings(), QStringLiteral("Readings Chart"));
    runChart_->show();
    runChart_->raise();
    runChart_->activateWindow();
}

void ReadingsChartMenu::mnuToolsChartFromJournal_Click()
{
    if (journalDialog_ == nullptr) {
        qtFileDialog_ = std::make_unique<common::QtFileDialog>(&window_);
        journalDialog_ = qtFileDialog_.get();
    }
    const auto journal = journalDialog_->open(
        {run_.journal().folder(), "", "Capture Journal (*.txt)|*.txt|All File (*.*)|*.*"});
    if (!journal)
        return;
    auto readings = std::make_unique<common::ReadingSet>();
    try {
        for (const std::string& warning : chartJournal(*journal, *readings, clock_))
            prompter_.showMessage(warning);
    } catch (const std::exception& error) {
        prompter_.showMessage(error.what());
        return;
    }
    const QString name = common::fromBytes(*journal).section('/', -1);
    journalCharts_.push_back(
        std::make_unique<frmReadingsChart>(std::move(readings), "Readings Chart - " + name));
    journalCharts_.back()->chart().setFollowSpan(std::nullopt);
    journalCharts_.back()->show();
}

}  // namespace tabwright
