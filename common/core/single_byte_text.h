#pragma once

#include <QString>

#include <string>
#include <string_view>

// The edge between the programs' single-byte text (instrument lines, reports,
// messages) and Qt's text: each byte is one character, Latin-1.
namespace common {

QString fromBytes(std::string_view text);
// Characters past Latin-1 become '?'.
std::string toBytes(const QString& text);
// A file path as windows show it: paths are in the system's file-name
// encoding, unlike the single-byte texts of the instruments.
QString pathText(std::string_view path);

}  // namespace common
