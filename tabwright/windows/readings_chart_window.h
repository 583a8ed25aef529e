#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "common/chart/reading_set.h"

namespace common {
class ReadingsChart;
}

namespace tabwright {

// "Readings Chart": a window around the readings chart of a run or of a journal.
class frmReadingsChart : public QWidget {
    Q_OBJECT

public:
    // The chart of `readings`, which the caller keeps and may add to.
    frmReadingsChart(const common::ReadingSet& readings, const QString& title, QWidget* parent = nullptr);
    // The chart of readings the window keeps.
    frmReadingsChart(std::unique_ptr<common::ReadingSet> readings, const QString& title,
                     QWidget* parent = nullptr);
    ~frmReadingsChart() override;
    frmReadingsChart(const frmReadingsChart&) = delete;
    frmReadingsChart& operator=(const frmReadingsChart&) = delete;
    frmReadingsChart(frmReadingsChart&&) = delete;
    frmReadingsChart& operator=(frmReadingsChart&&) = delete;

    common::ReadingsChart& chart() { return *chart_; }

private:
    std::unique_ptr<common::ReadingSet> owned_;
    common::ReadingsChart* chart_;
};

}  // namespace tabwright
