#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/port_numbering.h"

namespace serial {

// Where COM numbers meet device paths. The per-user file
// $XDG_CONFIG_HOME/veldan-qorivex/serial-ports.ini (default ~/.config/...),
// shared by both programs, may name a device for any of COM1 .. COM16 in its
// [Ports] section (COM3=/dev/ttyUSB0); numbers it leaves out go to the serial
// devices present, USB adapters first. Everything is looked up afresh on each
// call, so a device plugged in or a file edited takes effect at the next open.

// The per-user mapping file's full path (it need not exist).
std::string portMappingFile();

// Every COM number that has a device behind it, ascending.
std::vector<PortEntry> listPorts();

// The device behind one COM number, if any.
std::optional<PortEntry> findPort(int number);

}  // namespace serial
