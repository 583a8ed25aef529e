#pragma once

#include <QPixmap>

namespace tabwright {

// Tabwright's icon, drawn at side x side pixels from its scalable picture.
QPixmap programIcon(int side);

}  // namespace tabwright
