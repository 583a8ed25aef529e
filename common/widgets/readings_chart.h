#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "common/chart/reading_set.h"
#include "common/chart/reading_statistics.h"
#include "common/core/file_dialog.h"

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLayout;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QValueAxis;

namespace common {

// The readings chart both programs show: each series of a ReadingSet over time, readings
// on the left axis and temperatures on the right, drawn from decimated points only.
//
// It follows the newest reading (the last few minutes, or the whole run) until the user
// zooms (rubber band, wheel) or pans (middle button or Shift with the left button, arrow
// keys); "Follow" goes back. "Autoscale" fits both value axes to what is shown. Under the
// chart a table shows, for the visible time range, each series' count, mean, standard
// deviation, minimum and maximum; its first cell shows or hides the series, and a low and
// a high typed into its band cells draw a band with the count of readings outside it.
// The chart goes to PNG and SVG files and to the clipboard.
//
// The readings belong to the caller, who adds to them on this thread; the chart looks
// for new ones a few times a second and redraws when there are.
class ReadingsChart : public QWidget {
    Q_OBJECT

public:
    explicit ReadingsChart(const ReadingSet& readings, QWidget* parent = nullptr);
    ~ReadingsChart() override;
    ReadingsChart(const ReadingsChart&) = delete;
    ReadingsChart& operator=(const ReadingsChart&) = delete;
    ReadingsChart(ReadingsChart&&) = delete;
    ReadingsChart& operator=(ReadingsChart&&) = delete;

    void setTitle(const QString& title);
    // The dialog the export buttons ask for a file name with; a Qt dialog without one.
    void setFileDialog(FileDialog* dialog) { fileDialog_ = dialog; }

    // Draws the readings as they are now. Call it after the readings were cleared.
    void refresh();

    bool following() const { return following_; }
    // Follows the newest reading again.
    void follow();
    // How much a following chart shows: the last `seconds`, or the whole run.
    void setFollowSpan(std::optional<double> seconds);
    // Shows the times [from, to] (seconds, as the readings hold them) and stops following,
    // as a zoom by the user does.
    void showTimes(double from, double to);
    std::pair<double, double> visibleTimes() const;
    // Fits both value axes to the readings shown.
    void autoscale();

    void setSeriesShown(const std::string& name, bool shown);
    bool seriesShown(const std::string& name) const;
    void setBand(const std::string& name, std::optional<ReadingBand> band);
    // The statistics of the series `name` over the visible times; empty for a series the
    // chart does not draw.
    std::optional<ReadingStatistics> statistics(const std::string& name) const;

    // Writes the chart as a PNG or SVG picture; false when the file cannot be written.
    bool exportPng(const QString& path);
    bool exportSvg(const QString& path);
    // Writes the picture the file name asks for (.png or .svg).
    bool exportFile(const QString& path);
    void copyToClipboard();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Drawn {
        QLineSeries* line = nullptr;
        QLineSeries* bandLow = nullptr;
        QLineSeries* bandHigh = nullptr;
        std::optional<ReadingBand> band;
        bool shown = true;
        int tableRow = -1;
        ReadingStatistics statistics;
    };

    void buildControls();
    // buildControls's groups: the chart with its axes, the row of buttons (its layout
    // returned) that begins with Follow and its span, and the statistics table.
    void buildChartView();
    QLayout* buildButtons();
    void buildFollowControls();
    void buildStatisticsTable();
    void pollReadings();
    void scheduleRedraw();
    void redraw();
    // Draws the readings of the times [from, to] and shows those times.
    void redrawTimes(std::pair<double, double> times);
    void addMissingSeries();
    // The decimated points of `series` in axis units.
    QList<QPointF> linePoints(const ReadingSeries& series, double from, double to, int columns) const;
    void drawBand(Drawn& drawn, double from, double to);
    void updateStatisticsRow(const Drawn& drawn);
    void setTimeRange(double from, double to);
    void userMovedTimes();
    void tableItemChanged(QTableWidgetItem* item);
    void exportWithDialog(const char* extension, const char* filter);
    QValueAxis* axisFor(ValueAxis axis) const;
    // The range autoscale fits `axis` to; empty when it draws no reading.
    std::optional<std::pair<double, double>> wantedFit(const QValueAxis* axis) const;
    bool fitChanges(const QValueAxis* axis, const std::optional<std::pair<double, double>>& wanted) const;
    void fitAxis(QValueAxis* axis, const std::optional<std::pair<double, double>>& wanted);
    bool timeRangeChanges(double from, double to) const;
    std::pair<double, double> followedTimes() const;

    const ReadingSet& readings_;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* readingAxis_ = nullptr;
    QValueAxis* temperatureAxis_ = nullptr;
    QPushButton* cmdFollow_ = nullptr;
    QComboBox* cboFollowSpan_ = nullptr;
    QTableWidget* tblStatistics_ = nullptr;
    // Children of the chart, as the rest of its work is.
    QTimer poll_;
    QTimer redrawSoon_;
    FileDialog* fileDialog_ = nullptr;
    std::map<std::string, Drawn> drawn_;
    // What each value axis was last fitted to, and the rounded range that gave: a fit that
    // would change neither is skipped, as Qt Charts lays every line out again on each axis
    // change.
    struct AxisFit {
        std::pair<double, double> wanted;
        std::pair<double, double> applied;
    };
    std::map<const QValueAxis*, AxisFit> fits_;
    std::size_t readingsSeen_ = 0;
    std::size_t seriesSeen_ = 0;
    std::optional<double> followSpan_ = 5 * 60.0;
    bool following_ = true;
    bool fillingTable_ = false;
};

}  // namespace common
