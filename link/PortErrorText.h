#pragma once
// Texts that tell the user what to do about a serial port error.
#include <string>
#include <vector>

#include "link/Port.h"

namespace chanset {

// The line to show under a port message when the reason is one the user can
// fix: its string id (0 when there is none) and the texts for its %1, %2,
// ... (the device, then who holds it). The window takes the string from its
// pack, the command line from platform/PackStrings.h.
struct PortDetail {
  int id = 0;
  std::vector<std::string> args;
};
// No permission, no such device, in use (by whom, and through which lock
// file, when that is known), not a serial device or a terminal that is no
// serial line, the line went away. `path` is the device that was used.
PortDetail PortErrorDetailOf(const SystemError& reason, const std::string& path);

// That line in English or Chinese; "" when there is none.
std::string PortErrorDetail(const SystemError& reason, const std::string& path, bool chinese);

}  // namespace chanset
