#pragma once

#include <string_view>

#include "common/widgets/elided_label.h"

namespace common {

// A label that shows a file path. A path too long for the label is shown
// elided in the middle ("/home/lab/…/week-12/"), the whole path in its tool
// tip; text() is always the whole path. It asks for at most two thirds of its
// screen's width and can shrink to a few characters, so a long path never
// makes its window wider than the screen or pushes its buttons away.
class ElidedPathLabel : public ElidedLabel {
    Q_OBJECT

public:
    using ElidedLabel::ElidedLabel;

    // Shows the path (in the system's file-name encoding, like pathText).
    void setPath(std::string_view path);

    QSize sizeHint() const override;
};

}  // namespace common
