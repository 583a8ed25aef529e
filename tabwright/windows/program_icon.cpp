#include "tabwright/windows/program_icon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tabwright {

QPixmap programIcon(int side)
{
    return svgPicture(QStringLiteral(":/icons/tabwright.svg"), side);
}

QPixmap svgPicture(const QString& resource, int side)
{
    QSvgRenderer picture(resource);
    QPixmap icon(side, side);
    icon.fill(Qt::transparent);
    if (!picture.isValid())
        return icon;
    QPainter painter(&icon);
    picture.render(&painter);
    return icon;
}

}  // namespace tabwright
