#include "logfetch/windows/log_chart_window.h"

#include <utility>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "common/widgets/readings_chart.h"

namespace logfetch {

frmLogChart::frmLogChart(LogReadings readings, const std::string& fileName, QWidget* parent)
    : QWidget(parent, Qt::Window),
      readings_(std::move(readings)),
      fileName_(fileName),
      cboDataSet_(new QComboBox),
      layout_(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("frmLogChart"));
    setWindowTitle("Readings Chart - " + QString::fromLocal8Bit(fileName_));
    cboDataSet_->setObjectName(QStringLiteral("cboDataSet"));
    for (const DataSetReadings& dataSet : readings_.dataSets())
        cboDataSet_->addItem("Data set " + QString::number(dataSet.number));
    auto* choice = new QHBoxLayout;
    auto* caption = new QLabel("&Data set:");
    caption->setBuddy(cboDataSet_);
    choice->addWidget(caption);
    choice->addWidget(cboDataSet_);
    choice->addStretch();
    layout_->addLayout(choice);
    connect(cboDataSet_, &QComboBox::currentIndexChanged, this, &frmLogChart::showDataSet);
    resize(1000, 700);
    showDataSet(0);
}

frmLogChart::~frmLogChart() = default;

void frmLogChart::showDataSet(int index)
{
    if (index < 0 || index >= static_cast<int>(readings_.dataSets().size()))
        return;
    cboDataSet_->setCurrentIndex(index);
    const DataSetReadings& dataSet = readings_.dataSets()[static_cast<std::size_t>(index)];
    delete chart_;
    chart_ = new common::ReadingsChart(dataSet.readings, this);
    chart_->setTitle(QString::fromLocal8Bit(fileName_) + ", data set " + QString::number(dataSet.number));
    chart_->setFollowSpan(std::nullopt);
    layout_->addWidget(chart_, 1);
}

}  // namespace logfetch
