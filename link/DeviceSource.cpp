#include "link/DeviceSource.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <thread>
#include <unistd.h>

namespace chanset {

namespace {

// Each by-id link's name and the device it leads to.
std::map<std::string, std::string> ReadLinks(const std::string& folder) {
  std::map<std::string, std::string> links;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return links;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    std::string link = folder + "/" + e->d_name;
    char target[PATH_MAX];
    // A link whose device is gone already counts as gone.
    if (realpath(link.c_str(), target)) links[e->d_name] = target;
  }
  closedir(dir);
  return links;
}

class PollingSource final : public DeviceSource {
 public:
  PollingSource(std::string folder, int pollMs) : folder_(std::move(folder)), pollMs_(pollMs) {}
  ~PollingSource() override { Stop(); }

  bool Start(Listener listener) override {
    Stop();
    stop_ = false;
    known_ = ReadLinks(folder_);
    thread_ = std::thread([this, listener] { Run(listener); });
    return true;
  }

  void Stop() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  std::string Name() const override { return folder_ + " every " + std::to_string(pollMs_) + " ms"; }

 private:
  void Run(const Listener& listener) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(pollMs_), [this] { return stop_; })) {
      lock.unlock();
      std::map<std::string, std::string> now = ReadLinks(folder_);
      for (const auto& [name, node] : known_)
        if (!now.count(name)) listener({false, node});
      for (const auto& [name, node] : now)
        if (!known_.count(name)) listener({true, node});
      known_.swap(now);
      lock.lock();
    }
  }

  std::string folder_;
  int pollMs_;
  std::map<std::string, std::string> known_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<DeviceSource> MakePollingSource(const std::string& byIdFolder, int pollMs) {
  return std::make_unique<PollingSource>(byIdFolder, pollMs);
}

#ifndef CHANSET_HAVE_LIBUDEV
std::unique_ptr<DeviceSource> MakeUdevSource() { return nullptr; }
#endif

std::unique_ptr<DeviceSource> MakeDeviceSource(const DiscoveryRoots& roots, int pollMs) {
  std::string dev = roots.dev;
  while (dev.size() > 1 && dev.back() == '/') dev.pop_back();
  if (dev == "/dev")
    if (std::unique_ptr<DeviceSource> udev = MakeUdevSource()) return udev;
  return MakePollingSource(dev + "/serial/by-id", pollMs);
}

bool FakeDeviceSource::Start(Listener listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
  return true;
}

void FakeDeviceSource::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = nullptr;
}

void FakeDeviceSource::Tell(const DeviceEvent& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (listener_) listener_(event);
}

}  // namespace chanset
