#pragma once
// Serial devices as they come and go while the program runs: a cable plugged
// in or pulled out is told to whoever listens (the batch dialog, Com Setup),
// so that what they show follows the machine without being asked.
//
// Three sources, one interface:
//   - udev's own device events, through libudev, where the build has it and
//     the udev daemon runs: a tty added or removed is seen the moment udev
//     has made its /dev/serial/by-id/ links;
//   - elsewhere, a poll of /dev/serial/by-id (every half second by default),
//     which sees every cable that has a by-id name (USB adapters do);
//   - in tests, a source driven by hand.
// Listeners learn which device node changed, but should read the machine
// again (FindSerialDevices) for what is there now.
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/PortDiscovery.h"

namespace chanset {

struct DeviceEvent {
  bool added = true;  // false: removed
  std::string node;   // the device, e.g. /dev/ttyUSB0
};

class DeviceSource {
 public:
  using Listener = std::function<void(const DeviceEvent&)>;
  virtual ~DeviceSource() = default;
  // Tells `listener` of every change from now on, from a thread of the
  // source's own, until Stop(). False when the source cannot watch.
  virtual bool Start(Listener listener) = 0;
  // Stops watching; once it returns the listener is not called again.
  virtual void Stop() = 0;
  // What is watched, for a person: "udev", "/dev/serial/by-id every 500 ms".
  virtual std::string Name() const = 0;
};

// The source for the machine under `roots`: udev's events when libudev was
// built in, the udev daemon runs (/run/udev/control exists) and the dev root
// is the real /dev; else a poll of <dev root>/serial/by-id every `pollMs`.
std::unique_ptr<DeviceSource> MakeDeviceSource(const DiscoveryRoots& roots, int pollMs = 500);

// A poll of the folder `byIdFolder` every `pollMs`: a link that appears is a
// device added, one that goes is a device removed; the node is the device
// the link leads to.
std::unique_ptr<DeviceSource> MakePollingSource(const std::string& byIdFolder, int pollMs);

// udev's events, or null when this build has no libudev or udev does not run.
std::unique_ptr<DeviceSource> MakeUdevSource();

// A source for tests: Add and Remove reach the listener at once, on the
// calling thread.
class FakeDeviceSource final : public DeviceSource {
 public:
  bool Start(Listener listener) override;
  void Stop() override;
  std::string Name() const override { return "test"; }
  void Add(const std::string& node) { Tell({true, node}); }
  void Remove(const std::string& node) { Tell({false, node}); }

 private:
  void Tell(const DeviceEvent& event);
  std::mutex mutex_;
  Listener listener_;
};

}  // namespace chanset
