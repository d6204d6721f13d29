#include "link/PortNames.h"

#include <cstdio>
#include <cstdlib>

#include "platform/UserRegistry.h"

namespace chanset {

namespace {

bool ValidPort(long n) { return n >= 1 && n <= kPortCount; }

// "COMn" (any case) with n 1..16; 0 for anything else.
int ParseComWord(const std::string& word) {
  if (word.size() < 4 || word.size() > 5) return 0;
  for (int i = 0; i < 3; ++i)
    if ((word[static_cast<std::size_t>(i)] | 0x20) != "com"[i]) return 0;
  long n = 0;
  for (std::size_t i = 3; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return 0;
    n = n * 10 + (word[i] - '0');
  }
  return ValidPort(n) && word[3] != '0' ? static_cast<int>(n) : 0;
}

}  // namespace

std::string DefaultDevicePath(int port) {
  if (!ValidPort(port)) return std::string();
  if (port <= 8) return "/dev/ttyUSB" + std::to_string(port - 1);
  if (port <= 12) return "/dev/ttyACM" + std::to_string(port - 9);
  return "/dev/ttyS" + std::to_string(port - 13);
}

std::string PortName(int port) {
  char buf[32];
  if (port >= 10)
    std::snprintf(buf, sizeof buf, "\\\\.\\COM%d", port);
  else
    std::snprintf(buf, sizeof buf, "COM%d", port);
  return buf;
}

int PortNumberFromName(const std::string& name) {
  int n = 0;
  if (std::sscanf(name.c_str(), "%*[^M]M%d", &n) != 1) return 0;
  return n;
}

std::string PortsRegistryKey() { return AppRegistryKey() + "\\Ports"; }

std::string DevicePathForPort(int port) {
  if (!ValidPort(port)) return std::string();
  std::string word = "COM" + std::to_string(port);
  const char* env = std::getenv(("CHANSET_" + word).c_str());
  if (env != nullptr && env[0] != '\0') return env;
  std::string user = UserRegistry::ReadString(PortsRegistryKey(), word);
  if (!user.empty()) return user;
  return DefaultDevicePath(port);
}

bool IsComWord(const std::string& word) {
  return word.size() >= 4 && (word[0] | 0x20) == 'c' && (word[1] | 0x20) == 'o' && (word[2] | 0x20) == 'm' &&
         word.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::string ResolvePortArgument(const std::string& arg) {
  std::string word = arg;
  if (word.compare(0, 4, "\\\\.\\") == 0) word.erase(0, 4);
  if (int n = ParseComWord(word)) return DevicePathForPort(n);
  // A COM word outside 1..16 names no port; anything else is a device path.
  if (IsComWord(word)) return std::string();
  if (word != arg) return std::string();
  return arg;
}

int LoadRememberedPort() {
  std::uint32_t n = UserRegistry::ReadDword(AppRegistryKey(), "com", 1);
  return ValidPort(static_cast<long>(n)) ? static_cast<int>(n) : 1;
}

bool StoreRememberedPort(int port, std::string* error) {
  if (!ValidPort(port)) return true;
  return UserRegistry::WriteDword(AppRegistryKey(), "com", static_cast<std::uint32_t>(port), error);
}

}  // namespace chanset
