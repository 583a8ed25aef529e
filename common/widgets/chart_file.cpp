#include "common/widgets/chart_file.h"

#include <QCoreApplication>

#include "common/widgets/readings_chart.h"

namespace common {

bool writeChartFile(const ReadingSet& readings, const QString& title, const QString& path)
{
    ReadingsChart chart(readings);
    chart.setTitle(title);
    chart.setFollowSpan(std::nullopt);
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.resize(1200, 800);
    chart.show();
    QCoreApplication::processEvents();
    chart.refresh();  // once more, now that the plot area has its width
    return chart.exportFile(path);
}

}  // namespace common
