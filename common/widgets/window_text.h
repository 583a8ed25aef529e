#pragma once

#include <QPoint>
#include <QString>

#include <string_view>

class QLabel;
class QPushButton;
class QWidget;

namespace common {

// A label that shows its text as it is (spaces kept, no markup), named.
QLabel* plainLabel(const char* objectName, std::string_view text, QWidget* parent);

// A push button with its caption, named.
QPushButton* namedButton(const char* objectName, const char* caption, QWidget* parent);

// A label at its place, as wide as its text.
void placeSizedToText(QLabel& label, QPoint place);

}  // namespace common
