#pragma once
// A machine's serial devices as a fake tree of sys/, dev/ and proc/ folders,
// laid out the way the kernel and udev lay out the real ones:
//
//   sys/devices/pci0/usb1/1-1/{idVendor,idProduct,manufacturer,product,serial}
//   sys/devices/pci0/usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0
//   sys/class/tty/ttyUSB0 -> ../../devices/.../ttyUSB0/tty/ttyUSB0
//   sys/class/tty/ttyUSB0/device -> ../../../ttyUSB0   (the usb-serial port)
//   dev/ttyUSB0 -> a pseudo-terminal, so it can really be opened
//   dev/serial/by-id/usb-<maker>_<product>_<serial>-if00-port0 -> ../../ttyUSB0
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace testutil {

class FakeSerialTree {
 public:
  explicit FakeSerialTree(const std::string& root) : root_(root) {
    for (const char* dir : {"sys/class/tty", "sys/devices/platform/serial8250/tty", "dev/serial/by-id", "proc"})
      std::filesystem::create_directories(root_ + "/" + dir);
  }
  ~FakeSerialTree() {
    for (int fd : masters_) close(fd);
  }

  std::string Sys() const { return root_ + "/sys"; }
  std::string Dev() const { return root_ + "/dev"; }
  std::string Proc() const { return root_ + "/proc"; }

  // A USB adapter with its strings; `bus` tells adapters apart. `acm` makes
  // it a CDC-ACM device (the tty hangs off the interface itself).
  void AddUsb(const std::string& name, int bus, const std::string& vendor, const std::string& product,
              const std::string& maker, const std::string& productName, bool acm = false,
              const std::string& serial = std::string()) {
    std::string usb = "devices/pci0/usb" + std::to_string(bus) + "/" + std::to_string(bus) + "-1";
    std::string iface = usb + "/" + std::to_string(bus) + "-1:1.0";
    std::string port = acm ? iface : iface + "/" + name;
    std::filesystem::create_directories(Sys() + "/" + port + "/tty/" + name);
    Write(usb + "/idVendor", vendor);
    Write(usb + "/idProduct", product);
    if (!maker.empty()) Write(usb + "/manufacturer", maker);
    if (!productName.empty()) Write(usb + "/product", productName);
    if (!serial.empty()) Write(usb + "/serial", serial);
    Link("../../" + port + "/tty/" + name, Sys() + "/class/tty/" + name);
    Link(acm ? "../../../" + std::to_string(bus) + "-1:1.0" : "../../../" + name,
         Sys() + "/" + port + "/tty/" + name + "/device");
  }

  // A built-in port; `uartType` 0 is the kernel's "no UART here".
  void AddBuiltIn(const std::string& name, int uartType) {
    std::string dir = Sys() + "/devices/platform/serial8250/tty/" + name;
    std::filesystem::create_directories(dir);
    Write("devices/platform/serial8250/tty/" + name + "/type", std::to_string(uartType));
    Link("../../devices/platform/serial8250/tty/" + name, Sys() + "/class/tty/" + name);
  }

  // dev/<name> as a pseudo-terminal; returns its real path.
  std::string AddTerminal(const std::string& name) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return std::string();
    masters_.push_back(master);
    std::string pts = ptsname(master);
    Link(pts, Dev() + "/" + name);
    return pts;
  }
  // dev/<name> leading to an existing device (a simulator's terminal).
  void AddDevice(const std::string& name, const std::string& target) { Link(target, Dev() + "/" + name); }
  // Takes dev/<name> and its by-id links away, as unplugging does.
  void Unplug(const std::string& name) {
    std::error_code ec;
    std::filesystem::remove(Dev() + "/" + name, ec);
    for (const auto& e : std::filesystem::directory_iterator(Dev() + "/serial/by-id", ec))
      if (std::filesystem::read_symlink(e.path(), ec).filename() == name) std::filesystem::remove(e.path(), ec);
  }

  // dev/<name> as a plain file: present, but no serial device.
  void AddPlainFile(const std::string& name) { std::ofstream(Dev() + "/" + name) << "x"; }

  void AddById(const std::string& link, const std::string& target) {
    Link("../../" + target, Dev() + "/serial/by-id/" + link);
  }

  // proc/<pid> with its command name, holding `device` open as fd 3.
  void AddProcess(int pid, const std::string& command, const std::string& device) {
    std::string dir = Proc() + "/" + std::to_string(pid);
    std::filesystem::create_directories(dir + "/fd");
    std::ofstream(dir + "/comm") << command << "\n";
    Link("/dev/null", dir + "/fd/0");
    Link(device, dir + "/fd/3");
  }

 private:
  void Write(const std::string& relative, const std::string& text) {
    std::ofstream(Sys() + "/" + relative) << text << "\n";
  }
  static void Link(const std::string& target, const std::string& at) {
    std::error_code ec;
    std::filesystem::create_symlink(target, at, ec);
  }

  std::string root_;
  std::vector<int> masters_;
};

}  // namespace testutil
