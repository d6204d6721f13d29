#pragma once
// Texts that tell the user what to do about a serial port error.
#include <string>

namespace chanset {

// One line to show under a port message when the reason is one the user can
// fix (no permission, no such device, in use, not a serial device, the line
// went away), in the interface language; "" for any other reason. `path` is
// the device that was used.
std::string PortErrorDetail(int code, const std::string& path, bool chinese);

}  // namespace chanset
