#include "tabwright/windows/readings_chart_window.h"

#include <utility>

#include <QVBoxLayout>

#include "common/widgets/readings_chart.h"

namespace tabwright {

frmReadingsChart::frmReadingsChart(const common::ReadingSet& readings, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), chart_(new common::ReadingsChart(readings, this))
{
    setObjectName(QStringLiteral("frmReadingsChart"));
    setWindowTitle(title);
    chart_->setTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chart_);
    resize(1000, 700);
}

frmReadingsChart::frmReadingsChart(std::unique_ptr<common::ReadingSet> readings, const QString& title,
                                   QWidget* parent)
    : frmReadingsChart(*readings, title, parent)
{
    owned_ = std::move(readings);
}

frmReadingsChart::~frmReadingsChart() = default;

}  // namespace tabwright
