// udev's device events through libudev: built only where libudev is found.
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "link/DeviceSource.h"

namespace chanset {

namespace {

class UdevSource final : public DeviceSource {
 public:
  ~UdevSource() override {
    Stop();
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
    if (wake_ >= 0) close(wake_);
  }

  // Connects to udev's announcements of tty devices.
  bool Open() {
    udev_ = udev_new();
    if (!udev_) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
      return false;
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return wake_ >= 0;
  }

  bool Start(Listener listener) override {
    Stop();
    thread_ = std::thread([this, listener] { Run(listener); });
    return true;
  }

  void Stop() override {
    if (!thread_.joinable()) return;
    std::uint64_t one = 1;
    (void)!write(wake_, &one, sizeof one);
    thread_.join();
    std::uint64_t drained;
    (void)!read(wake_, &drained, sizeof drained);
  }

  std::string Name() const override { return "udev"; }

 private:
  void Run(const Listener& listener) {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents) return;
      udev_device* device = udev_monitor_receive_device(monitor_);
      if (!device) continue;
      const char* action = udev_device_get_action(device);
      const char* node = udev_device_get_devnode(device);
      if (action && node && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
        listener({std::strcmp(action, "add") == 0, node});
      udev_device_unref(device);
    }
  }

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  int wake_ = -1;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<DeviceSource> MakeUdevSource() {
  // Without the daemon nobody announces devices: the events would never come.
  if (access("/run/udev/control", F_OK) != 0) return nullptr;
  auto source = std::make_unique<UdevSource>();
  if (!source->Open()) return nullptr;
  return source;
}

}  // namespace chanset
