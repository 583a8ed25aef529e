#include "common/widgets/readings_chart.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QMessageBox>
#include <QPainter>
#include <QPointF>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QVariant>
#include <QWheelEvent>

#include "common/chart/clock_time.h"
#include "common/chart/decimation.h"
#include "common/widgets/qt_file_dialog.h"

namespace common {

namespace {

// Reading times are seconds since the midnight before the run; the time axis shows them
// as times of day counted from a fixed local midnight (one without a clock change in the
// days after it).
qint64 axisMilliseconds(double seconds)
{
    static const qint64 base = QDateTime(QDate(2000, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    return base + static_cast<qint64>(std::llround(seconds * 1000));
}

double secondsOfAxis(const QDateTime& time)
{
    return static_cast<double>(time.toMSecsSinceEpoch() - axisMilliseconds(0)) / 1000;
}

enum StatisticsColumn {
    kSeriesColumn,
    kCount,
    kMean,
    kDeviation,
    kMinimum,
    kMaximum,
    kBandLow,
    kBandHigh,
    kOutside,
    kColumns
};

const char* const kStatisticsHeadings[kColumns] = {"Series", "Count",    "Mean",      "SD",          "Min",
                                                   "Max",    "Band low", "Band high", "Outside band"};

// The follow spans offered, in seconds; none is the whole run.
const std::optional<double> kFollowSpans[] = {60.0, 5 * 60.0, 15 * 60.0, 60 * 60.0, std::nullopt};
const char* const kFollowSpanTexts[] = {"Last minute", "Last 5 minutes", "Last 15 minutes", "Last hour",
                                        "Whole run"};

QString numberText(double value)
{
    return QString::number(value, 'g', 6);
}

// The chart view that lets the user zoom with the wheel and pan with the middle button,
// Shift with the left button, or the arrow keys; the rubber band zooms into a rectangle
// and the right button zooms out.
class ZoomingChartView : public QChartView {
public:
    // `userMoved` hears every zoom or pan the user made.
    ZoomingChartView(QChart* chart, std::function<void()> userMoved)
        : QChartView(chart), userMoved_(std::move(userMoved))
    {
        setRubberBand(QChartView::RectangleRubberBand);
        setRenderHint(QPainter::Antialiasing);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void wheelEvent(QWheelEvent* event) override
    {
        const double factor = event->angleDelta().y() > 0 ? 1.25 : 0.8;
        QRectF area = chart()->plotArea();
        const double x = std::clamp(event->position().x(), area.left(), area.right());
        const double width = area.width() / factor;
        area.setLeft(x - (x - area.left()) / factor);
        area.setWidth(width);
        chart()->zoomIn(area);
        event->accept();
        userMoved_();
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::MiddleButton ||
            (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ShiftModifier))) {
            panningFrom_ = event->position();
            panning_ = true;
            event->accept();
            return;
        }
        QChartView::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (panning_) {
            const QPointF step = event->position() - panningFrom_;
            chart()->scroll(-step.x(), step.y());
            panningFrom_ = event->position();
            event->accept();
            userMoved_();
            return;
        }
        QChartView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (panning_) {
            panning_ = false;
            event->accept();
            return;
        }
        // The rubber band zooms in, and the right button out, on release.
        const QRectF before = chart()->plotArea();
        const auto axes = chart()->axes(Qt::Horizontal);
        const QVariant min = axes.isEmpty() ? QVariant() : axisMinimum(axes.constFirst());
        QChartView::mouseReleaseEvent(event);
        if (!axes.isEmpty() && (axisMinimum(axes.constFirst()) != min || chart()->plotArea() != before ||
                                event->button() == Qt::RightButton))
            userMoved_();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        const double step = chart()->plotArea().width() / 10;
        if (event->key() != Qt::Key_Left && event->key() != Qt::Key_Right) {
            QChartView::keyPressEvent(event);
            return;
        }
        chart()->scroll(event->key() == Qt::Key_Left ? -step : step, 0);
        userMoved_();
    }

private:
    static QVariant axisMinimum(const QAbstractAxis* axis)
    {
        const auto* time = qobject_cast<const QDateTimeAxis*>(axis);
        return time ? QVariant(time->min()) : QVariant();
    }

    std::function<void()> userMoved_;
    QPointF panningFrom_;
    bool panning_ = false;
};

}  // namespace

ReadingsChart::ReadingsChart(const ReadingSet& readings, QWidget* parent)
    : QWidget(parent), readings_(readings), poll_(this), redrawSoon_(this)
{
    buildControls();
    poll_.setInterval(200);
    connect(&poll_, &QTimer::timeout, this, &ReadingsChart::pollReadings);
    poll_.start();
    redrawSoon_.setSingleShot(true);
    redrawSoon_.setInterval(0);
    connect(&redrawSoon_, &QTimer::timeout, this, &ReadingsChart::redraw);
    refresh();
}

ReadingsChart::~ReadingsChart() = default;

void ReadingsChart::buildControls()
{
    buildChartView();
    QLayout* buttons = buildButtons();
    buildStatisticsTable();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    layout->addWidget(tblStatistics_);
}

void ReadingsChart::buildChartView()
{
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat("HH:mm:ss");
    timeAxis_->setTitleText("Time");
    readingAxis_ = new QValueAxis;
    readingAxis_->setTitleText("Reading");
    temperatureAxis_ = new QValueAxis;
    temperatureAxis_->setTitleText("Temperature");
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(readingAxis_, Qt::AlignLeft);
    chart_->addAxis(temperatureAxis_, Qt::AlignRight);
    view_ = new ZoomingChartView(chart_, [this] { userMovedTimes(); });
    view_->setObjectName("chartReadings");
    view_->setMinimumSize(480, 280);
}

QLayout* ReadingsChart::buildButtons()
{
    buildFollowControls();
    auto* cmdAutoscale = new QPushButton("&Autoscale");
    cmdAutoscale->setObjectName("cmdAutoscale");
    connect(cmdAutoscale, &QPushButton::clicked, this, &ReadingsChart::autoscale);
    auto* cmdExportPng = new QPushButton("Export &PNG...");
    cmdExportPng->setObjectName("cmdExportPng");
    connect(cmdExportPng, &QPushButton::clicked, this,
            [this] { exportWithDialog(".png", "PNG Picture (*.png)|*.png"); });
    auto* cmdExportSvg = new QPushButton("Export &SVG...");
    cmdExportSvg->setObjectName("cmdExportSvg");
    connect(cmdExportSvg, &QPushButton::clicked, this,
            [this] { exportWithDialog(".svg", "SVG Picture (*.svg)|*.svg"); });
    auto* cmdCopyChart = new QPushButton("&Copy");
    cmdCopyChart->setObjectName("cmdCopyChart");
    cmdCopyChart->setToolTip("Copy the chart to the clipboard as a picture");
    connect(cmdCopyChart, &QPushButton::clicked, this, &ReadingsChart::copyToClipboard);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdFollow_);
    buttons->addWidget(cboFollowSpan_);
    buttons->addWidget(cmdAutoscale);
    buttons->addStretch();
    buttons->addWidget(cmdExportPng);
    buttons->addWidget(cmdExportSvg);
    buttons->addWidget(cmdCopyChart);
    return buttons;
}

void ReadingsChart::buildFollowControls()
{
    cmdFollow_ = new QPushButton("&Follow");
    cmdFollow_->setObjectName("cmdFollow");
    cmdFollow_->setCheckable(true);
    cmdFollow_->setChecked(true);
    cmdFollow_->setToolTip("Follow the newest reading again");
    connect(cmdFollow_, &QPushButton::clicked, this, [this](bool checked) {
        if (checked)
            follow();
        else
            userMovedTimes();
    });
    cboFollowSpan_ = new QComboBox;
    cboFollowSpan_->setObjectName("cboFollowSpan");
    for (const char* text : kFollowSpanTexts)
        cboFollowSpan_->addItem(text);
    cboFollowSpan_->setCurrentIndex(1);
    connect(cboFollowSpan_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setFollowSpan(kFollowSpans[std::clamp(index, 0, 4)]); });
}

void ReadingsChart::buildStatisticsTable()
{
    tblStatistics_ = new QTableWidget(0, kColumns);
    tblStatistics_->setObjectName("tblStatistics");
    for (int column = 0; column < kColumns; ++column)
        tblStatistics_->setHorizontalHeaderItem(column, new QTableWidgetItem(kStatisticsHeadings[column]));
    tblStatistics_->verticalHeader()->hide();
    tblStatistics_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblStatistics_->horizontalHeader()->setStretchLastSection(true);
    tblStatistics_->setMaximumHeight(170);
    connect(tblStatistics_, &QTableWidget::itemChanged, this, &ReadingsChart::tableItemChanged);
}

void ReadingsChart::setTitle(const QString& title)
{
    chart_->setTitle(title);
}

void ReadingsChart::refresh()
{
    // Series whose readings were cleared away are forgotten with their lines.
    for (auto it = drawn_.begin(); it != drawn_.end();) {
        if (readings_.find(it->first)) {
            ++it;
            continue;
        }
        for (QLineSeries* line : {it->second.line, it->second.bandLow, it->second.bandHigh})
            if (line) {
                chart_->removeSeries(line);
                delete line;
            }
        tblStatistics_->removeRow(it->second.tableRow);
        for (auto& [name, other] : drawn_)
            if (other.tableRow > it->second.tableRow)
                --other.tableRow;
        it = drawn_.erase(it);
    }
    redraw();
}

void ReadingsChart::pollReadings()
{
    // A hidden chart draws when it is shown again.
    if (!isVisible())
        return;
    const std::size_t count = readings_.readingCount();
    const std::size_t series = readings_.all().size();
    if (count < readingsSeen_ || series < seriesSeen_)
        refresh();  // the readings were cleared for a new run
    else if (count != readingsSeen_ || series != seriesSeen_)
        scheduleRedraw();
}

void ReadingsChart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}

void ReadingsChart::scheduleRedraw()
{
    redrawSoon_.start();
}

void ReadingsChart::follow()
{
    following_ = true;
    cmdFollow_->setChecked(true);
    redraw();
}

void ReadingsChart::setFollowSpan(std::optional<double> seconds)
{
    followSpan_ = seconds;
    const auto offered = std::find(std::begin(kFollowSpans), std::end(kFollowSpans), seconds);
    if (offered != std::end(kFollowSpans)) {
        const QSignalBlocker quiet(cboFollowSpan_);
        cboFollowSpan_->setCurrentIndex(static_cast<int>(offered - std::begin(kFollowSpans)));
    }
    follow();
}

void ReadingsChart::showTimes(double from, double to)
{
    following_ = false;
    cmdFollow_->setChecked(false);
    redrawTimes(std::pair{from, to});
}

std::pair<double, double> ReadingsChart::visibleTimes() const
{
    return {secondsOfAxis(timeAxis_->min()), secondsOfAxis(timeAxis_->max())};
}

void ReadingsChart::userMovedTimes()
{
    following_ = false;
    cmdFollow_->setChecked(false);
    scheduleRedraw();
}

std::pair<double, double> ReadingsChart::followedTimes() const
{
    const auto span = readings_.timeSpan();
    if (!span)
        return {0, 60};
    const double from = followSpan_ ? std::max(span->first, span->second - *followSpan_) : span->first;
    return {from, std::max(span->second, from + 1)};
}

void ReadingsChart::setTimeRange(double from, double to)
{
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(axisMilliseconds(from)),
                        QDateTime::fromMSecsSinceEpoch(axisMilliseconds(to)));
}

QValueAxis* ReadingsChart::axisFor(ValueAxis axis) const
{
    return axis == ValueAxis::Temperature ? temperatureAxis_ : readingAxis_;
}

void ReadingsChart::addMissingSeries()
{
    fillingTable_ = true;
    for (const ReadingSeries& series : readings_.all()) {
        if (!series.offered() || drawn_.count(series.name()))
            continue;
        Drawn& drawn = drawn_[series.name()];
        drawn.shown = series.shownAtFirst();
        drawn.line = new QLineSeries;
        drawn.line->setName(QString::fromStdString(series.name()));
        chart_->addSeries(drawn.line);
        drawn.line->attachAxis(timeAxis_);
        drawn.line->attachAxis(axisFor(series.axis()));
        drawn.line->setVisible(drawn.shown);
        // One pixel wide: a line of a few thousand decimated points strokes in a fraction of
        // the time a wider one takes, and the extremes of each column stay apart.
        QPen pen = drawn.line->pen();
        pen.setWidth(1);
        drawn.line->setPen(pen);
        drawn.tableRow = tblStatistics_->rowCount();
        tblStatistics_->insertRow(drawn.tableRow);
        auto* nameItem = new QTableWidgetItem(QString::fromStdString(series.name()));
        nameItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        nameItem->setCheckState(drawn.shown ? Qt::Checked : Qt::Unchecked);
        tblStatistics_->setItem(drawn.tableRow, kSeriesColumn, nameItem);
        for (int column = kCount; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            const bool editable = column == kBandLow || column == kBandHigh;
            item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                    : Qt::ItemIsEnabled);
            tblStatistics_->setItem(drawn.tableRow, column, item);
        }
    }
    fillingTable_ = false;
}

void ReadingsChart::redraw()
{
    redrawTimes(following_ ? followedTimes() : visibleTimes());
}

void ReadingsChart::redrawTimes(std::pair<double, double> times)
{
    redrawSoon_.stop();
    readingsSeen_ = readings_.readingCount();
    seriesSeen_ = readings_.all().size();
    addMissingSeries();
    const auto [from, to] = times;
    const int columns = std::max(1, static_cast<int>(chart_->plotArea().width()));
    // The statistics and points of every line first, then the axes, then the points into
    // the lines: Qt Charts lays every line out again on each change of an axis it is
    // drawn against, so lines whose axes change are emptied for it.
    std::vector<std::pair<QLineSeries*, QList<QPointF>>> lines;
    for (const ReadingSeries& series : readings_.all()) {
        const auto found = drawn_.find(series.name());
        if (found == drawn_.end())
            continue;
        Drawn& drawn = found->second;
        drawn.statistics = statisticsOf(series, from, to, drawn.band);
        updateStatisticsRow(drawn);
        lines.emplace_back(drawn.line,
                           drawn.shown ? linePoints(series, from, to, columns) : QList<QPointF>());
    }
    const auto readingFit = following_ ? wantedFit(readingAxis_) : std::nullopt;
    const auto temperatureFit = following_ ? wantedFit(temperatureAxis_) : std::nullopt;
    if (timeRangeChanges(from, to) || fitChanges(readingAxis_, readingFit) ||
        fitChanges(temperatureAxis_, temperatureFit)) {
        for (auto& [line, points] : lines)
            if (line->count() > 0)
                line->clear();
        setTimeRange(from, to);
        fitAxis(readingAxis_, readingFit);
        fitAxis(temperatureAxis_, temperatureFit);
    }
    for (auto& [line, points] : lines)
        if (line->count() > 0 || !points.isEmpty())
            line->replace(points);
    for (auto& [name, drawn] : drawn_)
        drawBand(drawn, from, to);
}

QList<QPointF> ReadingsChart::linePoints(const ReadingSeries& series, double from, double to,
                                         int columns) const
{
    const std::vector<ChartPoint> points = decimate(series, from, to, columns);
    QList<QPointF> line;
    line.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
        line.append(QPointF(static_cast<double>(axisMilliseconds(p.x)), p.y));
    return line;
}

void ReadingsChart::drawBand(Drawn& drawn, double from, double to)
{
    if (!drawn.band) {
        for (QLineSeries* edge : {drawn.bandLow, drawn.bandHigh})
            if (edge)
                edge->setVisible(false);
        return;
    }
    const std::pair<QLineSeries**, double> edges[] = {{&drawn.bandLow, drawn.band->low},
                                                      {&drawn.bandHigh, drawn.band->high}};
    for (const auto& [edge, value] : edges) {
        if (!*edge) {
            *edge = new QLineSeries;
            chart_->addSeries(*edge);
            (*edge)->attachAxis(timeAxis_);
            (*edge)->attachAxis(drawn.line->attachedAxes().constLast());
            QPen pen(drawn.line->color());
            pen.setStyle(Qt::DashLine);
            (*edge)->setPen(pen);
            const auto markers = chart_->legend()->markers(*edge);
            for (auto* marker : markers)
                marker->setVisible(false);
        }
        (*edge)->replace(QList<QPointF>{QPointF(static_cast<double>(axisMilliseconds(from)), value),
                                        QPointF(static_cast<double>(axisMilliseconds(to)), value)});
        (*edge)->setVisible(drawn.shown);
    }
}

void ReadingsChart::updateStatisticsRow(const Drawn& drawn)
{
    fillingTable_ = true;
    const ReadingStatistics& s = drawn.statistics;
    const bool any = s.count > 0;
    const std::pair<int, QString> cells[] = {
        {kCount, QString::number(s.count)},
        {kMean, any ? numberText(s.mean) : QString()},
        {kDeviation, s.count > 1 ? numberText(s.standardDeviation) : QString()},
        {kMinimum, any ? numberText(s.minimum) : QString()},
        {kMaximum, any ? numberText(s.maximum) : QString()},
        {kOutside, drawn.band ? QString::number(s.outsideBand) : QString()},
    };
    for (const auto& [column, text] : cells)
        tblStatistics_->item(drawn.tableRow, column)->setText(text);
    fillingTable_ = false;
}

void ReadingsChart::tableItemChanged(QTableWidgetItem* item)
{
    if (fillingTable_)
        return;
    const auto drawn = std::find_if(drawn_.begin(), drawn_.end(), [item](const auto& entry) {
        return entry.second.tableRow == item->row();
    });
    if (drawn == drawn_.end())
        return;
    if (item->column() == kSeriesColumn) {
        setSeriesShown(drawn->first, item->checkState() == Qt::Checked);
        return;
    }
    if (item->column() != kBandLow && item->column() != kBandHigh)
        return;
    bool lowOk = false;
    bool highOk = false;
    const double low = tblStatistics_->item(item->row(), kBandLow)->text().toDouble(&lowOk);
    const double high = tblStatistics_->item(item->row(), kBandHigh)->text().toDouble(&highOk);
    if (lowOk && highOk)
        setBand(drawn->first, ReadingBand{std::min(low, high), std::max(low, high)});
    else if (lowOk || highOk)
        setBand(drawn->first, ReadingBand{lowOk ? low : -std::numeric_limits<double>::infinity(),
                                          highOk ? high : std::numeric_limits<double>::infinity()});
    else
        setBand(drawn->first, std::nullopt);
}

void ReadingsChart::setSeriesShown(const std::string& name, bool shown)
{
    const auto drawn = drawn_.find(name);
    if (drawn == drawn_.end())
        return;
    drawn->second.shown = shown;
    drawn->second.line->setVisible(shown);
    fillingTable_ = true;
    tblStatistics_->item(drawn->second.tableRow, kSeriesColumn)
        ->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    fillingTable_ = false;
    redraw();
}

bool ReadingsChart::seriesShown(const std::string& name) const
{
    const auto drawn = drawn_.find(name);
    return drawn != drawn_.end() && drawn->second.shown;
}

void ReadingsChart::setBand(const std::string& name, std::optional<ReadingBand> band)
{
    const auto drawn = drawn_.find(name);
    if (drawn == drawn_.end())
        return;
    drawn->second.band = band;
    fillingTable_ = true;
    const auto bandText = [](double value) { return std::isfinite(value) ? numberText(value) : QString(); };
    tblStatistics_->item(drawn->second.tableRow, kBandLow)->setText(band ? bandText(band->low) : QString());
    tblStatistics_->item(drawn->second.tableRow, kBandHigh)->setText(band ? bandText(band->high) : QString());
    fillingTable_ = false;
    redraw();
}

std::optional<ReadingStatistics> ReadingsChart::statistics(const std::string& name) const
{
    const auto drawn = drawn_.find(name);
    if (drawn == drawn_.end())
        return std::nullopt;
    return drawn->second.statistics;
}

void ReadingsChart::autoscale()
{
    for (QValueAxis* axis : {readingAxis_, temperatureAxis_})
        fitAxis(axis, wantedFit(axis));
}

std::optional<std::pair<double, double>> ReadingsChart::wantedFit(const QValueAxis* axis) const
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const ReadingSeries& series : readings_.all()) {
        const auto drawn = drawn_.find(series.name());
        if (axisFor(series.axis()) != axis || drawn == drawn_.end() || !drawn->second.shown ||
            drawn->second.statistics.count == 0)
            continue;
        low = std::min(low, drawn->second.statistics.minimum);
        high = std::max(high, drawn->second.statistics.maximum);
        if (drawn->second.band && std::isfinite(drawn->second.band->low))
            low = std::min(low, drawn->second.band->low);
        if (drawn->second.band && std::isfinite(drawn->second.band->high))
            high = std::max(high, drawn->second.band->high);
    }
    if (low > high)
        return std::nullopt;
    const double margin = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    return std::pair{low - margin, high + margin};
}

bool ReadingsChart::fitChanges(const QValueAxis* axis,
                               const std::optional<std::pair<double, double>>& wanted) const
{
    if (!wanted)
        return false;
    const auto fit = fits_.find(axis);
    return fit == fits_.end() || fit->second.wanted != *wanted ||
           fit->second.applied != std::pair{axis->min(), axis->max()};
}

void ReadingsChart::fitAxis(QValueAxis* axis, const std::optional<std::pair<double, double>>& wanted)
{
    if (!fitChanges(axis, wanted))
        return;
    axis->setRange(wanted->first, wanted->second);
    axis->applyNiceNumbers();
    fits_[axis] = {*wanted, {axis->min(), axis->max()}};
}

bool ReadingsChart::timeRangeChanges(double from, double to) const
{
    return timeAxis_->min().toMSecsSinceEpoch() != axisMilliseconds(from) ||
           timeAxis_->max().toMSecsSinceEpoch() != axisMilliseconds(to);
}

bool ReadingsChart::exportPng(const QString& path)
{
    return view_->grab().save(path, "PNG");
}

bool ReadingsChart::exportSvg(const QString& path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(view_->size());
    svg.setViewBox(view_->rect());
    svg.setTitle(chart_->title().isEmpty() ? QStringLiteral("Readings") : chart_->title());
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    view_->render(&painter);
    return painter.end();
}

bool ReadingsChart::exportFile(const QString& path)
{
    return path.endsWith(".svg", Qt::CaseInsensitive) ? exportSvg(path) : exportPng(path);
}

void ReadingsChart::copyToClipboard()
{
    QApplication::clipboard()->setPixmap(view_->grab());
}

void ReadingsChart::exportWithDialog(const char* extension, const char* filter)
{
    QtFileDialog qtDialog(this);
    FileDialog& dialog = fileDialog_ ? *fileDialog_ : qtDialog;
    const std::optional<std::string> path = dialog.save({{}, std::string("readings") + extension, filter});
    if (path && !exportFile(QString::fromStdString(*path)))
        QMessageBox::warning(this, windowTitle(),
                             "The chart could not be written to " + QString::fromStdString(*path));
}

}  // namespace common
