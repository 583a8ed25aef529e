#pragma once

#include <string>
#include <string_view>

// "serialport.cfg" in the program's folder: the COM port number the download
// uses, in plain decimal on one CR LF line. The port selection dialog writes
// it; the dialog and the download window read it.
namespace logfetch {

inline constexpr std::string_view kSerialPortCfgName = "serialport.cfg";
// The port text when nothing is saved.
inline constexpr std::string_view kDefaultPortText = "1";

// The file's full path in the program's folder.
std::string serialPortCfgPath(std::string_view programFolder);

// The saved port text, as written (the first field of the file); "1" when the
// file is missing, unreadable or its field is empty.
std::string readPortText(std::string_view programFolder);

// The port number the download opens for a saved port text: the number at
// the text's start (spaces before it and a sign allowed), fractions to the
// nearest whole number, halves away from zero; 0 when the text starts with
// no number ("COM3" gives 0, "3.6 or so" gives 4).
int portNumberAtStart(std::string_view text);

// Replaces the file with the number in plain decimal as its only line. False
// when the file could not be written.
bool writePortNumber(std::string_view programFolder, int number);

}  // namespace logfetch
