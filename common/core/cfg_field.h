#pragma once

#include <string>
#include <string_view>

// One-line settings files ("lastbin.cfg", "serialport.cfg", ...):
// one value on one line, read back as the line's first field.
namespace common {

// The first field of a line: the text up to the first comma or the line's
// end, without surrounding spaces; a field that starts with a double quote
// is the text up to the closing quote, commas and spaces included.
std::string firstField(std::string_view line);

// The line that stores a value so that firstField gives it back whole: the
// value itself, or the value in double quotes when it holds a comma or starts
// or ends with a space. Without the line end.
std::string fieldLine(std::string_view value);

}  // namespace common
