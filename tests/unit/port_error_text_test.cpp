// The line under a port message that tells the user what to do.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/PortErrorText.h"

namespace {

struct Case {
  int code;
  bool chinese;
  std::vector<const char*> mentions;
  std::size_t pathTimes;  // how often the device path is named
};

class PortErrorTextTest : public testing::TestWithParam<Case> {};

TEST_P(PortErrorTextTest, NamesTheDeviceAndTheRemedy) {
  const Case& c = GetParam();
  const std::string path = "/dev/ttyUSB0";
  const std::string text = chanset::PortErrorDetail(c.code, path, c.chinese);
  for (const char* word : c.mentions) EXPECT_NE(text.find(word), std::string::npos) << word << " in " << text;
  EXPECT_EQ(text.find("%s"), std::string::npos) << text;
  std::size_t times = 0;
  for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at + 1)) ++times;
  EXPECT_EQ(times, c.pathTimes) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, PortErrorTextTest,
    testing::Values(Case{EACCES, false, {"dialout", "usermod"}, 1}, Case{EACCES, true, {"dialout", "usermod"}, 1},
                    // A cable ModemManager holds is "in use": say how to tell and how to stop it.
                    Case{EBUSY, false, {"in use", "ModemManager", "fuser -v", "ID_MM_DEVICE_IGNORE"}, 2},
                    Case{EBUSY, true, {"占用", "ModemManager", "fuser -v", "ID_MM_DEVICE_IGNORE"}, 2},
                    Case{ENOENT, false, {"not plugged in"}, 1}));

TEST(PortErrorText, NothingForAReasonTheUserCannotFix) { EXPECT_EQ(chanset::PortErrorDetail(EINVAL, "/dev/x", false), ""); }

}  // namespace
