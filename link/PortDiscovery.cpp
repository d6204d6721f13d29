#include "link/PortDiscovery.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/PortLock.h"
#include "link/PortNames.h"
#include "platform/FileInput.h"
#include "link/SerialPort.h"
#include "platform/PathRules.h"

namespace chanset {

namespace {

// A root given as "" is the file system's root, not the current folder.
std::string Normalize(const std::string& given) { return given.empty() ? "/" : LexicalPath(given); }

std::string DirName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Within(const std::string& root, const std::string& path) {
  return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                          (root == "/" || path[root.size()] == '/'));
}

std::string RealPath(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

bool ReadLink(const std::string& path, std::string& target) {
  char buf[PATH_MAX];
  ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
  if (n < 0) return false;
  target.assign(buf, static_cast<std::size_t>(n));
  return true;
}

// The first line of a small file, without surrounding blanks; "" when absent
// or when it is no regular file (a pipe in a fake tree is never waited on).
std::string ReadFirstLine(const std::string& path) {
  InputRules rules;
  rules.limit = 4096;
  rules.cutAtLimit = true;
  std::string text;
  if (ReadInput(path, text, rules) != InputStatus::Ok) return std::string();
  std::string line = text.substr(0, text.find('\n'));
  std::size_t first = line.find_first_not_of(" \t\r");
  std::size_t last = line.find_last_not_of(" \t\r");
  return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

std::vector<std::string> DirEntries(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string DevRoot(const DiscoveryRoots& roots) { return Normalize(roots.dev); }

// A path under /dev, moved under the dev root.
std::string UnderDevRoot(const DiscoveryRoots& roots, const std::string& path) {
  std::string dev = DevRoot(roots);
  std::string p = Normalize(path);
  if (dev != "/dev" && Within("/dev", p)) return dev + p.substr(4);
  return p;
}

// Follows symbolic links while they lead to places below the dev root.
std::string ResolveInDev(const DiscoveryRoots& roots, const std::string& path) {
  std::string dev = DevRoot(roots);
  std::string p = UnderDevRoot(roots, path);
  for (int hop = 0; hop < 16; ++hop) {
    std::string target;
    if (!ReadLink(p, target)) break;
    std::string next = Normalize(target[0] == '/' ? target : DirName(p) + "/" + target);
    if (!Within(dev, next)) break;
    p = next;
  }
  return p;
}

// The USB device a tty hangs off: the nearest directory above the tty's
// sysfs device that has an idVendor file.
void ReadUsbStrings(const DiscoveryRoots& roots, SerialDevice& device) {
  std::string sys = RealPath(roots.sys);
  std::string dir = RealPath(roots.sys + "/class/tty/" + device.name + "/device");
  if (sys.empty() || dir.empty()) return;
  for (; Within(sys, dir) && dir != sys; dir = DirName(dir)) {
    std::string vendor = ReadFirstLine(dir + "/idVendor");
    if (vendor.empty()) continue;
    device.maker = ReadFirstLine(dir + "/manufacturer");
    device.product = ReadFirstLine(dir + "/product");
    device.usbId = vendor + ":" + ReadFirstLine(dir + "/idProduct");
    device.serial = ReadFirstLine(dir + "/serial");
    return;
  }
}

// A ttyS device has a UART behind it when the kernel gives it a port type
// other than 0 (PORT_UNKNOWN); the others are placeholders.
bool HasUart(const DiscoveryRoots& roots, const std::string& name) {
  std::string type = ReadFirstLine(roots.sys + "/class/tty/" + name + "/type");
  return !type.empty() && std::strtol(type.c_str(), nullptr, 10) != 0;
}

// What no serial device is, and what could make a probe wait.
bool IsPipeOrSocket(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

// ttyUSB<n>, ttyACM<n>, ttyS<n>: the kind (0, 1, 2) and n; kind -1 otherwise.
std::pair<int, long> Classify(const std::string& name) {
  static const char* const kPrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};
  for (int kind = 0; kind < 3; ++kind) {
    std::size_t len = std::strlen(kPrefixes[kind]);
    if (name.size() > len && name.compare(0, len, kPrefixes[kind]) == 0 &&
        name.find_first_not_of("0123456789", len) == std::string::npos)
      return {kind, std::strtol(name.c_str() + len, nullptr, 10)};
  }
  return {-1, 0};
}

}  // namespace

DiscoveryRoots DiscoveryRootsFromEnvironment() {
  DiscoveryRoots roots;
  if (const char* v = std::getenv("CHANSET_SYSFS_ROOT"); v && *v) roots.sys = v;
  if (const char* v = std::getenv("CHANSET_DEV_ROOT"); v && *v) roots.dev = v;
  if (const char* v = std::getenv("CHANSET_PROC_ROOT"); v && *v) roots.proc = v;
  return roots;
}

SerialDevice DescribeDevice(const DiscoveryRoots& roots, const std::string& path) {
  SerialDevice device;
  std::string given = UnderDevRoot(roots, path);
  device.path = ResolveInDev(roots, path);
  struct stat st;
  if (lstat(device.path.c_str(), &st) != 0) return device;
  device.name = BaseName(device.path);
  std::string byIdDir = DevRoot(roots) + "/serial/by-id";
  if (DirName(given) == byIdDir) {
    device.byId = given;
  } else {
    for (const std::string& link : DirEntries(byIdDir))
      if (ResolveInDev(roots, byIdDir + "/" + link) == device.path) {
        device.byId = byIdDir + "/" + link;
        break;
      }
  }
  ReadUsbStrings(roots, device);
  return device;
}

std::vector<SerialDevice> FindSerialDevices(const DiscoveryRoots& roots) {
  std::vector<SerialDevice> devices;
  auto known = [&devices](const std::string& path) {
    return std::any_of(devices.begin(), devices.end(), [&](const SerialDevice& d) { return d.path == path; });
  };
  std::string dev = DevRoot(roots);
  for (const std::string& name : DirEntries(dev)) {
    int kind = Classify(name).first;
    if (kind < 0 || IsPipeOrSocket(dev + "/" + name) || (kind == 2 && !HasUart(roots, name))) continue;
    devices.push_back(DescribeDevice(roots, dev + "/" + name));
  }
  // A by-id link may lead to a device of another name (ttyXRUSB0, rfcomm0).
  for (const std::string& link : DirEntries(dev + "/serial/by-id")) {
    SerialDevice d = DescribeDevice(roots, dev + "/serial/by-id/" + link);
    if (!d.name.empty() && !known(d.path) && !IsPipeOrSocket(d.path)) devices.push_back(d);
  }
  std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    auto ka = Classify(a.name), kb = Classify(b.name);
    unsigned ra = static_cast<unsigned>(ka.first), rb = static_cast<unsigned>(kb.first);  // -1 sorts last
    return ra != rb ? ra < rb : ka.second != kb.second ? ka.second < kb.second : a.name < b.name;
  });
  return devices;
}

std::vector<SerialDevice> ListSerialDevices(const DiscoveryRoots& roots,
                                            const std::function<std::string(int)>& portPath) {
  std::vector<SerialDevice> devices = FindSerialDevices(roots);
  if (devices.empty()) return devices;
  LockPlaces places = LockPlacesFromEnvironment();
  places.proc = roots.proc;
  // Where each COMn leads, worked out once for all devices.
  std::string resolved[kPortCount + 1];
  for (int n = 1; n <= kPortCount; ++n) {
    const std::string mapped = portPath ? portPath(n) : DevicePathForPort(n);
    if (!mapped.empty()) resolved[n] = ResolveInDev(roots, mapped);
  }
  for (SerialDevice& d : devices) {
    for (int n = 1; n <= kPortCount; ++n)
      if (!resolved[n].empty() && resolved[n] == d.path) d.comPorts.push_back(n);
    d.openable = ProbePort(d.path, &d.reason, places);
    if (!d.openable && d.reason.code == EBUSY) {
      d.holders = FindPortHolders(roots.proc, d.path);
      // A program that holds only the lock file is named by it.
      if (d.holders.empty() && d.reason.holder.pid != 0) d.holders.push_back(d.reason.holder);
    }
  }
  return devices;
}

SerialDevice SoleUsbDeviceFor(const DiscoveryRoots& roots, const std::string& portPath) {
  if (portPath.empty()) return SerialDevice();
  // A link that leads nowhere (a by-id name of a cable unplugged) counts as
  // nothing behind the port.
  SerialDevice behind = DescribeDevice(roots, portPath);
  struct stat st;
  if (!behind.name.empty() && stat(behind.path.c_str(), &st) == 0) return SerialDevice();
  SerialDevice sole;
  int usb = 0;
  for (SerialDevice& d : FindSerialDevices(roots))
    if (!d.usbId.empty() && ++usb == 1) sole = std::move(d);
  return usb == 1 ? sole : SerialDevice();
}

std::string UsbText(const SerialDevice& device) {
  std::string text = device.maker;
  if (!device.product.empty()) text += (text.empty() ? "" : " ") + device.product;
  if (!device.usbId.empty()) text += (text.empty() ? "(" : " (") + device.usbId + ")";
  return text;
}

std::string UsbName(const SerialDevice& device) {
  std::string text = device.maker;
  if (!device.product.empty()) text += (text.empty() ? "" : " ") + device.product;
  return text.empty() ? device.usbId : text;
}

std::string ComPortsText(const SerialDevice& device) {
  std::string text;
  for (int n : device.comPorts) text += (text.empty() ? "COM" : ",COM") + std::to_string(n);
  return text;
}

std::string OpenStatusText(const SerialDevice& device) {
  if (device.openable) return "ok";
  switch (device.reason.code) {
    case EACCES:
    case EPERM:
      return "no permission: join the dialout group (sudo usermod -aG dialout $USER, then log in again)";
    case EBUSY: {
      if (device.holders.empty()) return "in use by another program";
      std::string text = "in use by";
      for (std::size_t i = 0; i < device.holders.size(); ++i) {
        const PortHolder& h = device.holders[i];
        const std::string pid = std::to_string(h.pid);
        text += (i ? ", " : " ") + (h.command.empty() ? "process " + pid : h.command + " (pid " + pid + ")");
      }
      return text;
    }
    case ENOTTY:
      return device.reason.terminal ? "a terminal, not a serial port" : "not a serial device";
    default:
      return std::strerror(device.reason.code);
  }
}

}  // namespace chanset
