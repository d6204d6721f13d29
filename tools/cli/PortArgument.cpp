#include "tools/cli/PortArgument.h"

#include <cstdlib>
#include <string>

namespace cli {

namespace {

// Default devices: COM1..8 the USB adapters, COM9..12 the CDC-ACM devices,
// COM13..16 the on-board serial ports.
std::string DefaultDevice(int n) {
  if (n <= 8) return "/dev/ttyUSB" + std::to_string(n - 1);
  if (n <= 12) return "/dev/ttyACM" + std::to_string(n - 9);
  return "/dev/ttyS" + std::to_string(n - 13);
}

}  // namespace

bool PortPathFromArgument(const std::string& arg, std::string& path, std::string& error) {
  std::string name = arg;
  if (name.rfind("\\\\.\\", 0) == 0) name = name.substr(4);
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0 ||
      name.find_first_not_of("0123456789", 3) != std::string::npos) {
    path = arg;  // a device path
    return true;
  }
  int n = std::atoi(name.c_str() + 3);
  if (n < 1 || n > 16) {
    error = "port " + arg + " does not exist: ports run from COM1 to COM16";
    return false;
  }
  const char* mapped = std::getenv(("CHANSET_COM" + std::to_string(n)).c_str());
  path = mapped && *mapped ? mapped : DefaultDevice(n);
  return true;
}

}  // namespace cli
