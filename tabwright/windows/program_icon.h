#pragma once

#include <QPixmap>
#include <QString>

namespace tabwright {

// Tabwright's icon, drawn at side x side pixels from its scalable picture.
QPixmap programIcon(int side);

// A scalable picture of the resources (":/icons/..."), drawn at side x side pixels;
// transparent when it cannot be read.
QPixmap svgPicture(const QString& resource, int side);

}  // namespace tabwright
