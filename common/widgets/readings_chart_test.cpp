#include "common/widgets/readings_chart.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/widgets/chart_application.h"
#include "common/widgets/chart_file.h"
#include "testing/temp_folder.h"
#include "testing/widgets/qt_application.h"

namespace common {
namespace {

// Ten minutes of one reading a second and a temperature every ten seconds.
ReadingSet tenMinutes()
{
    ReadingSet readings;
    ReadingSeries& reading = readings.series("Reading (RAW)", ValueAxis::Reading);
    ReadingSeries& temperature = readings.series("Temperature (C)", ValueAxis::Temperature);
    for (int i = 0; i < 600; ++i) {
        reading.append(36'000 + i, 50 + i % 10);
        if (i % 10 == 0)
            temperature.append(36'000 + i, 21);
    }
    return readings;
}

struct ShownChart {
    ShownChart()
    {
        chart.resize(1000, 700);
        chart.show();
        QCoreApplication::processEvents();
        chart.refresh();
    }
    template <typename T>
    T* control(const char* name)
    {
        T* found = chart.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString cell(int row, int column)
    {
        return control<QTableWidget>("tblStatistics")->item(row, column)->text();
    }

    QApplication& application = testing_support::application();
    ReadingSet readings = tenMinutes();
    ReadingsChart chart{readings};
};

TEST(ReadingsChart, FollowsTheNewestReadingsUntilTheUserZooms)
{
    ShownChart shown;
    EXPECT_TRUE(shown.chart.following());
    // the last five minutes of the run
    EXPECT_EQ(shown.chart.visibleTimes(), (std::pair<double, double>{36'299, 36'599}));
    EXPECT_EQ(shown.chart.statistics("Reading (RAW)")->count, 301u);

    shown.chart.showTimes(36'000, 36'009);
    EXPECT_FALSE(shown.chart.following());
    EXPECT_FALSE(shown.control<QPushButton>("cmdFollow")->isChecked());
    const ReadingStatistics zoomed = *shown.chart.statistics("Reading (RAW)");
    EXPECT_EQ(zoomed.count, 10u);
    EXPECT_DOUBLE_EQ(zoomed.mean, 54.5);
    EXPECT_EQ(zoomed.minimum, 50);
    EXPECT_EQ(zoomed.maximum, 59);
    EXPECT_EQ(shown.cell(0, 1), "10");
    EXPECT_EQ(shown.cell(0, 2), "54.5");

    // new readings do not move a zoomed chart
    shown.readings.find("Reading (RAW)")->append(36'600, 70);
    shown.chart.refresh();
    EXPECT_EQ(shown.chart.visibleTimes(), (std::pair<double, double>{36'000, 36'009}));

    shown.control<QPushButton>("cmdFollow")->click();
    EXPECT_TRUE(shown.chart.following());
    EXPECT_EQ(shown.chart.visibleTimes(), (std::pair<double, double>{36'300, 36'600}));
}

TEST(ReadingsChart, AZoomByTheChartItselfStopsFollowing)
{
    ShownChart shown;
    auto* view = shown.control<QChartView>("chartReadings");
    const auto before = shown.chart.visibleTimes();
    const QPointF middle = view->viewport()->rect().center();
    QWheelEvent wheel(middle, view->viewport()->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_FALSE(shown.chart.following());
    const auto after = shown.chart.visibleTimes();
    EXPECT_LT(after.second - after.first, before.second - before.first);
    // the arrow keys pan
    shown.chart.follow();
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_FALSE(shown.chart.following());
    EXPECT_LT(shown.chart.visibleTimes().second, before.second);
}

TEST(ReadingsChart, FollowSpanWholeRunShowsEveryReading)
{
    ShownChart shown;
    shown.control<QComboBox>("cboFollowSpan")->setCurrentText("Whole run");
    EXPECT_EQ(shown.chart.visibleTimes(), (std::pair<double, double>{36'000, 36'599}));
    EXPECT_EQ(shown.chart.statistics("Reading (RAW)")->count, 600u);
    EXPECT_EQ(shown.chart.statistics("Temperature (C)")->count, 60u);
    shown.chart.setFollowSpan(60.0);
    EXPECT_EQ(shown.control<QComboBox>("cboFollowSpan")->currentText(), "Last minute");
    EXPECT_EQ(shown.chart.visibleTimes(), (std::pair<double, double>{36'539, 36'599}));
}

TEST(ReadingsChart, BandCountsTheReadingsOutside)
{
    ShownChart shown;
    shown.chart.showTimes(36'000, 36'099);
    auto* table = shown.control<QTableWidget>("tblStatistics");
    table->item(0, 6)->setText("52");
    table->item(0, 7)->setText("57");
    // 50, 51, 58 and 59 of every ten
    EXPECT_EQ(shown.chart.statistics("Reading (RAW)")->outsideBand, 40u);
    EXPECT_EQ(shown.cell(0, 8), "40");
    table->item(0, 7)->setText("");
    EXPECT_EQ(shown.chart.statistics("Reading (RAW)")->outsideBand, 20u);  // below 52 only
    table->item(0, 6)->setText("");
    EXPECT_EQ(shown.cell(0, 8), "");
}

TEST(ReadingsChart, HidesAndShowsEachSeries)
{
    ShownChart shown;
    auto* table = shown.control<QTableWidget>("tblStatistics");
    ASSERT_EQ(table->rowCount(), 2);
    shown.chart.setBand("Temperature (C)", ReadingBand{20, 22});
    const auto lines = shown.control<QChartView>("chartReadings")->chart()->series();
    ASSERT_EQ(lines.size(), 4);  // both series and the band's two edges
    table->item(1, 0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(shown.chart.seriesShown("Temperature (C)"));
    for (const int hidden : {1, 2, 3})
        EXPECT_FALSE(lines.at(hidden)->isVisible()) << hidden;
    shown.chart.setSeriesShown("Temperature (C)", true);
    EXPECT_EQ(table->item(1, 0)->checkState(), Qt::Checked);
    for (const int drawn : {1, 2, 3})
        EXPECT_TRUE(lines.at(drawn)->isVisible()) << drawn;
    EXPECT_GT(qobject_cast<QLineSeries*>(lines.at(1))->count(), 0);
}

TEST(ReadingsChart, FollowingFitsTheValueAxesAgainAfterAZoom)
{
    ShownChart shown;
    auto* chart = shown.control<QChartView>("chartReadings")->chart();
    const auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
    ASSERT_NE(axis, nullptr);
    const std::pair fitted{axis->min(), axis->max()};
    EXPECT_LE(fitted.first, 50);
    EXPECT_GE(fitted.second, 59);
    chart->zoomIn(QRectF(chart->plotArea().center(), QSizeF(20, 20)));
    ASSERT_NE((std::pair{axis->min(), axis->max()}), fitted);
    shown.chart.follow();
    EXPECT_EQ((std::pair{axis->min(), axis->max()}), fitted);
    // A new reading beyond the fitted range widens it while following.
    shown.readings.series("Reading (RAW)", ValueAxis::Reading).append(36'600, 500);
    shown.chart.refresh();
    EXPECT_GE(axis->max(), 500);
    EXPECT_EQ(shown.chart.visibleTimes().second, 36'600);
}

TEST(ReadingsChart, DrawsAMillionReadingsAsAFewThousandPoints)
{
    ShownChart shown;
    ReadingSeries& many = shown.readings.series("Many", ValueAxis::Reading);
    for (int i = 0; i < 1'000'000; ++i)
        many.append(36'000 + i * 0.0006, i % 1000);
    shown.chart.refresh();
    const auto lines = shown.control<QChartView>("chartReadings")->chart()->series();
    const auto* line = qobject_cast<QLineSeries*>(lines.at(2));
    ASSERT_NE(line, nullptr);
    EXPECT_LT(line->count(), 5000);
    EXPECT_GT(line->count(), 100);
}

TEST(ReadingsChart, ExportsPngAndSvg)
{
    ShownChart shown;
    testing_support::TempFolder folder;
    const QString png = QString::fromStdString(folder.file("chart.png"));
    const QString svg = QString::fromStdString(folder.file("chart.SVG"));
    ASSERT_TRUE(shown.chart.exportFile(png));
    ASSERT_TRUE(shown.chart.exportFile(svg));
    EXPECT_FALSE(QImage(png).isNull());
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("<svg"));
    EXPECT_FALSE(shown.chart.exportFile(QString::fromStdString(folder.file("missing/chart.png"))));
}

TEST(ChartFile, WritesTheWholeRun)
{
    testing_support::application();
    testing_support::TempFolder folder;
    const ReadingSet readings = tenMinutes();
    const QString png = QString::fromStdString(folder.file("run.png"));
    ASSERT_TRUE(writeChartFile(readings, "Run", png));
    const QImage image(png);
    EXPECT_GT(image.width(), 800);
    EXPECT_GT(image.height(), 400);
}

TEST(ChartApplication, AsksForAChartOnlyWithTheOption)
{
    const struct {
        std::vector<std::string> arguments;
        bool chart;
    } cases[] = {
        {{"logfetch", "convert", "a.bin"}, false},
        {{"logfetch", "convert", "a.bin", "--chart", "a.svg"}, true},
        {{"tabwright", "replay", "j", "--chart=a.png"}, true},
        {{"tabwright", "replay", "--", "--chart"}, false},
        {{"tabwright", "--charts"}, false},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const std::string& a : c.arguments)
            argv.push_back(const_cast<char*>(a.c_str()));  // NOLINT(cppcoreguidelines-pro-type-const-cast)
        EXPECT_EQ(commandLineAsksForChart(static_cast<int>(argv.size()), argv.data()), c.chart)
            << c.arguments.back();
    }
}

}  // namespace
}  // namespace common
