#pragma once

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

// A file path as windows show it: paths are in the system's file-name
// encoding, unlike the single-byte texts of the instruments.
QString pathText(std::string_view path);

}  // namespace common
