#pragma once
// Finding the serial devices of the machine: which exist, their stable
// /dev/serial/by-id/ names, the USB maker and product the kernel read from
// the adapter, which COMn maps to each, and whether each can be opened now.
//
// Everything is read below three roots given by the caller (the real ones
// are /sys, /dev and /proc), so tests describe a machine with a fake tree.
#include <functional>
#include <string>
#include <vector>

#include "link/Port.h"

namespace chanset {

struct DiscoveryRoots {
  std::string sys = "/sys";
  std::string dev = "/dev";
  std::string proc = "/proc";
};

// The real roots, each replaced by $CHANSET_SYSFS_ROOT, $CHANSET_DEV_ROOT
// or $CHANSET_PROC_ROOT when set.
DiscoveryRoots DiscoveryRootsFromEnvironment();

struct SerialDevice {
  std::string path;     // the device under the dev root, e.g. /dev/ttyUSB0
  std::string name;     // its kernel name, e.g. ttyUSB0
  std::string byId;     // its /dev/serial/by-id/ link, or ""
  std::string maker;    // USB manufacturer string, or ""
  std::string product;  // USB product string, or ""
  std::string usbId;    // vendor:product in hex, e.g. "0403:6001", or ""
  std::vector<int> comPorts;  // the COMn (1..16) whose device this is
  // Filled by ListSerialDevices only:
  bool openable = false;
  SystemError reason;               // why it cannot be opened
  std::vector<PortHolder> holders;  // who holds it, when it is in use
};

// The device a port path leads to, with its by-id name and USB strings (no
// probing, no COM ports). A path under /dev is looked up under the dev root;
// symbolic links are followed as long as they stay below the dev root. The
// name is "" when the path does not exist.
SerialDevice DescribeDevice(const DiscoveryRoots& roots, const std::string& path);

// Every serial device: ttyUSB*, ttyACM*, ttyS* with a real UART behind it,
// and whatever a /dev/serial/by-id/ link leads to, described but not opened.
std::vector<SerialDevice> FindSerialDevices(const DiscoveryRoots& roots);

// The same devices, each probed for opening and given the COMn that lead to
// it. `portPath` gives the device path of COMn (DevicePathForPort by default).
std::vector<SerialDevice> ListSerialDevices(const DiscoveryRoots& roots,
                                            const std::function<std::string(int)>& portPath = {});

// "maker product (vendor:product)", or "" when nothing is known.
std::string UsbText(const SerialDevice& device);
// "COM1" or "COM1,COM3"; "" when no port maps to the device.
std::string ComPortsText(const SerialDevice& device);
// "ok", or why the device cannot be opened and what to do about it.
std::string OpenStatusText(const SerialDevice& device);

}  // namespace chanset
