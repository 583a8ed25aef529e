#pragma once

class QHBoxLayout;
class QPushButton;

namespace common {

// The OK and Cancel buttons of a dialog, right-aligned in a row. Enter is OK
// wherever the focus is, Cancel included.
QHBoxLayout* okCancelRow(QPushButton& ok, QPushButton& cancel);

}  // namespace common
