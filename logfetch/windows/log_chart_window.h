#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "logfetch/convert/log_readings.h"

class QComboBox;
class QVBoxLayout;

namespace common {
class ReadingsChart;
}

namespace logfetch {

// "Readings Chart": the readings and temperatures of a data log just converted, one data
// set at a time (chosen in cboDataSet), with the chart's own zoom, statistics and export.
class frmLogChart : public QWidget {
    Q_OBJECT

public:
    frmLogChart(LogReadings readings, const std::string& fileName, QWidget* parent = nullptr);
    ~frmLogChart() override;
    frmLogChart(const frmLogChart&) = delete;
    frmLogChart& operator=(const frmLogChart&) = delete;
    frmLogChart(frmLogChart&&) = delete;
    frmLogChart& operator=(frmLogChart&&) = delete;

    common::ReadingsChart& chart() { return *chart_; }
    // Shows data set `index` (0 for the first).
    void showDataSet(int index);

private:
    LogReadings readings_;
    std::string fileName_;
    QComboBox* cboDataSet_;
    QVBoxLayout* layout_;
    common::ReadingsChart* chart_ = nullptr;
};

}  // namespace logfetch
