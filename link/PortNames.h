#pragma once
// Serial port numbers 1..16, their names, and the device paths they map to.
#include <string>

namespace chanset {

constexpr int kPortCount = 16;

// "COM%d" for 1..9, "\\.\COM%d" for 10..16.
std::string PortName(int port);
// Reads the number back with the scan "%*[^M]M%d"; returns 0 when none.
int PortNumberFromName(const std::string& name);

// Device path of port n: $CHANSET_COM<n> if set, else the user registry
// (Software\<AppName>\Ports, value COM<n>), else the default
// (COM1..8 /dev/ttyUSB0..7, COM9..12 /dev/ttyACM0..3, COM13..16 /dev/ttyS0..3).
std::string DevicePathForPort(int port);
// The device of port n when neither the environment nor the registry names
// one; "" outside 1..16.
std::string DefaultDevicePath(int port);
// "COM" in any case followed by at least one digit and nothing else ("com7",
// "COM99"), whether or not the number names one of the 16 ports.
bool IsComWord(const std::string& word);
// Accepts "COMn", "\\.\COMn" (n 1..16, any case) or a device path; returns
// the device path, or "" for a COM name outside 1..16 or a "\\.\" name
// that is not a COM port.
std::string ResolvePortArgument(const std::string& arg);
// Key path of the user's device map: "Software\<AppName>\Ports".
std::string PortsRegistryKey();

// The remembered port: registry value "com" (default 1; a stored value
// outside 1..16 also reads 1). Storing ignores numbers outside 1..16; it
// returns false with the reason when the registry could not be written.
int LoadRememberedPort();
bool StoreRememberedPort(int port, std::string* error = nullptr);

}  // namespace chanset
