// The line under a port message that tells the user what to do.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/PortErrorText.h"

namespace {

struct Case {
  chanset::SystemError reason;
  bool chinese;
  std::vector<const char*> mentions;
  std::size_t pathTimes;  // how often the device path is named
};

chanset::SystemError Busy(int pid, const char* command, const char* lockFile = "") {
  chanset::SystemError e(EBUSY, "busy");
  e.holder = {pid, command};
  e.lockFile = lockFile;
  return e;
}

chanset::SystemError Terminal() {
  chanset::SystemError e(ENOTTY, "a terminal");
  e.terminal = true;
  return e;
}

class PortErrorTextTest : public testing::TestWithParam<Case> {};

TEST_P(PortErrorTextTest, NamesTheDeviceAndTheRemedy) {
  const Case& c = GetParam();
  const std::string path = "/dev/ttyUSB0";
  const std::string text = chanset::PortErrorDetail(c.reason, path, c.chinese);
  for (const char* word : c.mentions) EXPECT_NE(text.find(word), std::string::npos) << word << " in " << text;
  EXPECT_EQ(text.find('%'), std::string::npos) << text;
  std::size_t times = 0;
  for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at + 1)) ++times;
  EXPECT_EQ(times, c.pathTimes) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, PortErrorTextTest,
    testing::Values(Case{{EACCES, ""}, false, {"dialout", "usermod"}, 1}, Case{{EACCES, ""}, true, {"dialout", "usermod"}, 1},
                    // A cable ModemManager holds is "in use": say how to tell and how to stop it.
                    Case{{EBUSY, ""}, false, {"in use", "ModemManager", "fuser -v", "ID_MM_DEVICE_IGNORE"}, 2},
                    Case{{EBUSY, ""}, true, {"占用", "ModemManager", "fuser -v", "ID_MM_DEVICE_IGNORE"}, 2},
                    // The program that holds it, by its name and process id, and its lock file.
                    Case{Busy(4242, "minicom"), false, {"in use by minicom (process 4242)"}, 1},
                    Case{Busy(77, "picocom", "/run/lock/LCK..ttyUSB0"), true, {"picocom", "77", "/run/lock/LCK..ttyUSB0"}, 1},
                    Case{Busy(13, ""), false, {"? (process 13)"}, 1},
                    Case{Terminal(), false, {"a terminal, not a serial port"}, 1},
                    Case{{ENOTTY, ""}, false, {"not a serial device"}, 1},
                    Case{{EIO, ""}, true, {"连接已断开"}, 1},
                    Case{{ENOENT, ""}, false, {"not plugged in"}, 1}));

TEST(PortErrorText, NothingForAReasonTheUserCannotFix) {
  EXPECT_EQ(chanset::PortErrorDetail({EINVAL, "x"}, "/dev/x", false), "");
}

}  // namespace
