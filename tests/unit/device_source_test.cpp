// Cables coming and going: the by-id poll that stands in where udev's events
// are not to be had tells each link that appears or goes, with its device.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "link/DeviceSource.h"
#include "tests/unit/FakeSerialTree.h"
#include "tests/unit/TempDir.h"

using namespace chanset;

namespace {

class Heard {
 public:
  void operator()(const DeviceEvent& e) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back((e.added ? "+" : "-") + e.node);
    cv_.notify_all();
  }
  // The events heard once there are `n` (waiting up to ten seconds).
  std::vector<std::string> Wait(std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [&] { return events_.size() >= n; });
    return events_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> events_;
};

TEST(DeviceSource, PollingSeesCablesPluggedAndPulled) {
  testutil::TempDir dir;
  testutil::FakeSerialTree tree(dir.Path());
  DiscoveryRoots roots{tree.Sys(), tree.Dev(), tree.Proc()};
  std::string before = tree.AddTerminal("ttyUSB0");
  tree.AddById("usb-A", "ttyUSB0");
  // A fake dev root is never udev's: it is polled.
  std::unique_ptr<DeviceSource> source = MakeDeviceSource(roots, 20);
  EXPECT_EQ(source->Name(), tree.Dev() + "/serial/by-id every 20 ms");
  Heard heard;
  ASSERT_TRUE(source->Start(std::ref(heard)));
  // What is there at the start is no news; what comes and goes is.
  std::string plugged = tree.AddTerminal("ttyUSB1");
  tree.AddById("usb-B", "ttyUSB1");
  EXPECT_EQ(heard.Wait(1), (std::vector<std::string>{"+" + plugged}));
  tree.Unplug("ttyUSB0");
  EXPECT_EQ(heard.Wait(2), (std::vector<std::string>{"+" + plugged, "-" + before}));
  // Once stopped, nothing more is told.
  source->Stop();
  tree.Unplug("ttyUSB1");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(heard.Wait(0).size(), 2u);
}

}  // namespace
