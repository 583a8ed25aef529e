#include "tabwright/windows/program_icon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tabwright {

QPixmap programIcon(int side)
{
    QSvgRenderer picture(QStringLiteral(":/icons/tabwright.svg"));
    QPixmap icon(side, side);
    icon.fill(Qt::transparent);
    if (!picture.isValid())
        return icon;
    QPainter painter(&icon);
    picture.render(&painter);
    return icon;
}

}  // namespace tabwright
