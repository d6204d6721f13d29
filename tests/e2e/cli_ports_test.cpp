// chanset-cli ports against a fake sysfs, dev and proc tree: one line per
// serial device with its by-id name, USB strings, COM port and status.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "link/SerialPort.h"
#include "tests/unit/FakeSerialTree.h"
#include "tests/unit/TempDir.h"

using namespace chanset;

namespace {

const std::string kCli = std::string(CHANSET_APP_DIR) + "/chanset-cli";

std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
    char buf[512];
    while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    int s = pclose(p);
    if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line's words separated by runs of two or more spaces.
std::vector<std::string> Columns(const std::string& line) {
  std::vector<std::string> cols;
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t gap = line.find("  ", at);
    if (gap == std::string::npos) gap = line.size();
    cols.push_back(line.substr(at, gap - at));
    at = line.find_first_not_of(' ', gap);
    if (at == std::string::npos) break;
  }
  return cols;
}

class CliPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddUsb("ttyUSB0", 1, "0403", "6001", "FTDI", "FT232R USB UART");
    tree_.AddBuiltIn("ttyS0", 4);
    tree_.AddBuiltIn("ttyS1", 0);
    usb0_ = tree_.AddTerminal("ttyUSB0");
    ttyS0_ = tree_.AddTerminal("ttyS0");
    tree_.AddTerminal("ttyS1");
    tree_.AddPlainFile("ttyACM0");
    tree_.AddById("usb-FTDI_FT232R_USB_UART_A1-if00-port0", "ttyUSB0");
  }
  std::string Env() const {
    return "XDG_CONFIG_HOME=" + dir_.File("config") + " CHANSET_SYSFS_ROOT=" + tree_.Sys() +
           " CHANSET_DEV_ROOT=" + tree_.Dev() + " CHANSET_PROC_ROOT=" + tree_.Proc();
  }

  testutil::TempDir dir_;
  testutil::FakeSerialTree tree_{dir_.Path()};
  std::string usb0_, ttyS0_;
};

TEST_F(CliPorts, OneAlignedLinePerDeviceWithEverythingKnownAboutIt) {
  SerialPort holder;
  ASSERT_TRUE(holder.Open(ttyS0_));
  tree_.AddProcess(4242, "minicom", ttyS0_);
  int status = -1;
  std::string out = Shell("env " + Env() + " CHANSET_COM3=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0 " +
                            kCli + " ports",
                        &status);
  ASSERT_EQ(status, 0) << out;
  std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 4u) << out;
  const std::string dev = tree_.Dev();
  const std::vector<std::vector<std::string>> expected = {
      {"DEVICE", "BY-ID", "USB", "PORT", "STATUS"},
      {dev + "/ttyUSB0", dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
       "FTDI FT232R USB UART (0403:6001)", "COM1,COM3", "ok"},
      {dev + "/ttyACM0", "-", "-", "COM9", "not a serial device"},
      {dev + "/ttyS0", "-", "-", "COM13", "in use by minicom (pid 4242)"},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Columns(lines[i]), expected[i]) << lines[i];
  // The columns line up.
  std::size_t usbColumn = lines[0].find("USB ");
  for (const std::string& line : lines) EXPECT_NE(line[usbColumn], ' ') << line;
}

TEST_F(CliPorts, OptionsGiveTheRootsAndBadWordsAreRefused) {
  std::string empty = dir_.File("empty");
  std::string out = Shell(kCli + " ports --sysfs " + empty + " --dev " + empty + " --proc " + empty);
  EXPECT_EQ(out, "no serial devices found\n");
  out = Shell("env " + Env() + " " + kCli + " ports --dev " + tree_.Dev());
  EXPECT_NE(out.find("/ttyUSB0"), std::string::npos) << out;
  int status = 0;
  out = Shell(kCli + " ports --bogus", &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("usage: ports"), std::string::npos) << out;
  out = Shell(kCli + " ports --dev", &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("--dev needs a value"), std::string::npos) << out;
}

}  // namespace
