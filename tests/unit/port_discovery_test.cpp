// Port discovery against a fake sysfs, dev and proc tree: what is listed,
// what each device is called, which COM port leads to it, and why one cannot
// be opened.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "link/PortDiscovery.h"
#include "link/SerialPort.h"
#include "tests/unit/FakeSerialTree.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/Unprivileged.h"

using namespace chanset;
using testutil::FakeSerialTree;

namespace {

const char kFtdiById[] = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

class PortDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Readable by the unprivileged child of the permission test.
    chmod(dir_.Path().c_str(), 0755);
    tree_.AddUsb("ttyUSB0", 1, "0403", "6001", "FTDI", "FT232R USB UART");
    tree_.AddUsb("ttyUSB1", 2, "067b", "2303", "", "");  // an adapter without strings
    tree_.AddUsb("ttyACM0", 3, "1fc9", "0083", "NXP", "Radio Cable", true);
    tree_.AddBuiltIn("ttyS0", 4);
    tree_.AddBuiltIn("ttyS1", 0);
    usb0_ = tree_.AddTerminal("ttyUSB0");
    tree_.AddTerminal("ttyUSB1");
    tree_.AddPlainFile("ttyACM0");
    ttyS0_ = tree_.AddTerminal("ttyS0");
    tree_.AddTerminal("ttyS1");
    tree_.AddTerminal("tty0");        // not a serial port name
    tree_.AddTerminal("ttyXRUSB0");   // only a by-id link leads here
    tree_.AddById(kFtdiById, "ttyUSB0");
    tree_.AddById("usb-Exar_XR21V1410-if00", "ttyXRUSB0");
    roots_.sys = tree_.Sys();
    roots_.dev = tree_.Dev();
    roots_.proc = tree_.Proc();
  }

  // COM1 and COM3 lead to the FTDI cable (by default name and by-id name),
  // COM13 to the built-in port; the others to devices that are not there.
  static std::string PortPath(int n) {
    static const std::map<int, std::string> mapped = {
        {1, "/dev/ttyUSB0"}, {3, std::string("/dev/serial/by-id/") + kFtdiById}, {13, "/dev/ttyS0"}};
    auto it = mapped.find(n);
    return it != mapped.end() ? it->second : "/dev/ttyNOPE" + std::to_string(n);
  }

  std::vector<SerialDevice> List() const { return ListSerialDevices(roots_, PortPath); }

  const SerialDevice* Find(const std::vector<SerialDevice>& devices, const std::string& name) const {
    for (const SerialDevice& d : devices)
      if (d.name == name) return &d;
    return nullptr;
  }

  testutil::TempDir dir_;
  FakeSerialTree tree_{dir_.Path()};
  DiscoveryRoots roots_;
  std::string usb0_, ttyS0_;
};

TEST_F(PortDiscoveryTest, ListsSerialDevicesInKernelOrderAndSkipsPlaceholdersAndOtherTerminals) {
  std::vector<std::string> names;
  for (const SerialDevice& d : List()) names.push_back(d.name);
  EXPECT_EQ(names, (std::vector<std::string>{"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyXRUSB0"}));
}

struct DeviceRow {
  const char* name;
  const char* byId;
  const char* usb;
  const char* ports;
};

TEST_F(PortDiscoveryTest, EachDeviceCarriesItsByIdNameUsbStringsAndPorts) {
  const DeviceRow rows[] = {
      {"ttyUSB0", kFtdiById, "FTDI FT232R USB UART (0403:6001)", "COM1,COM3"},
      {"ttyUSB1", "", "(067b:2303)", ""},
      {"ttyACM0", "", "NXP Radio Cable (1fc9:0083)", ""},
      {"ttyS0", "", "", "COM13"},
      {"ttyXRUSB0", "usb-Exar_XR21V1410-if00", "", ""},
  };
  std::vector<SerialDevice> devices = List();
  for (const DeviceRow& row : rows) {
    SCOPED_TRACE(row.name);
    const SerialDevice* d = Find(devices, row.name);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->path, tree_.Dev() + "/" + row.name);
    EXPECT_EQ(d->byId, row.byId[0] ? tree_.Dev() + "/serial/by-id/" + row.byId : std::string());
    EXPECT_EQ(UsbText(*d), row.usb);
    EXPECT_EQ(ComPortsText(*d), row.ports);
  }
}

TEST_F(PortDiscoveryTest, OpenStatusSaysWhatIsWrongAndWhoHoldsABusyPort) {
  SerialPort holder;
  ASSERT_TRUE(holder.Open(ttyS0_)) << holder.LastError().text;
  tree_.AddProcess(4242, "minicom", ttyS0_);
  tree_.AddProcess(77, "bash", usb0_);  // locks nothing: only /proc tells
  std::vector<SerialDevice> devices = List();
  EXPECT_EQ(OpenStatusText(*Find(devices, "ttyUSB0")), "in use by bash (pid 77)");
  EXPECT_EQ(OpenStatusText(*Find(devices, "ttyACM0")), "not a serial device");
  const SerialDevice* busy = Find(devices, "ttyS0");
  EXPECT_FALSE(busy->openable);
  EXPECT_EQ(busy->reason.code, EBUSY);
  EXPECT_EQ(OpenStatusText(*busy), "in use by minicom (pid 4242)");
  // Once let go, it opens again.
  holder.Close();
  std::filesystem::remove_all(tree_.Proc() + "/4242");
  EXPECT_EQ(OpenStatusText(*Find(List(), "ttyS0")), "ok");
}

TEST_F(PortDiscoveryTest, BusyPortWithoutAnyProcessInfoStillSaysInUse) {
  SerialPort holder(PortTimeouts(), LockPlaces{{}, ""});  // no lock file, nothing in the fake /proc
  ASSERT_TRUE(holder.Open(usb0_));
  EXPECT_EQ(OpenStatusText(*Find(List(), "ttyUSB0")), "in use by another program");
}

TEST_F(PortDiscoveryTest, WithoutPermissionTheStatusNamesTheDialoutGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to drop privileges";
  // The pseudo-terminals belong to root with mode 0620: nobody else may open them.
  pid_t child = fork();
  if (child == 0) {
    if (!testutil::BecomeUnprivileged()) _exit(2);
    std::vector<SerialDevice> devices = List();
    const SerialDevice* d = Find(devices, "ttyUSB0");
    bool ok = d && d->reason.code == EACCES &&
              OpenStatusText(*d).find("dialout group (sudo usermod -aG dialout $USER") != std::string::npos;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(PortDiscoveryTest, RealProcTellsWhichProcessHoldsAPort) {
  // A child of this test holds the port; /proc names it by its pid.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    // No lock file: the child ends by SIGKILL, which would leave it behind.
    SerialPort port(PortTimeouts(), LockPlaces{{}, "/proc"});
    bool opened = port.Open(usb0_);
    char c = opened ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  std::vector<PortHolder> holders = FindPortHolders("/proc", usb0_);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].pid, child);
  EXPECT_FALSE(holders[0].command.empty());
}

struct DescribeCase {
  const char* path;  // "%dev%" stands for the fake dev root
  const char* name;
  bool byId;
};

TEST_F(PortDiscoveryTest, DescribeFollowsLinksOnlyInsideTheDevRoot) {
  const DescribeCase cases[] = {
      {"/dev/ttyUSB0", "ttyUSB0", true},
      {"%dev%/ttyUSB0", "ttyUSB0", true},
      {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0", true},
      {"/dev/./serial/../ttyACM0", "ttyACM0", false},
      {"/dev/ttyNOPE", "", false},
  };
  for (const DescribeCase& c : cases) {
    std::string path = c.path;
    if (path.rfind("%dev%", 0) == 0) path = tree_.Dev() + path.substr(5);
    SCOPED_TRACE(path);
    SerialDevice d = DescribeDevice(roots_, path);
    EXPECT_EQ(d.name, c.name);
    EXPECT_EQ(!d.byId.empty(), c.byId);
  }
  EXPECT_EQ(DescribeDevice(roots_, "/dev/ttyUSB0").maker, "FTDI");
  EXPECT_EQ(DescribeDevice(roots_, "/dev/ttyACM0").product, "Radio Cable");
}

TEST(PortDiscovery, RootsComeFromTheEnvironmentWhenSet) {
  setenv("CHANSET_SYSFS_ROOT", "/tmp/s", 1);
  setenv("CHANSET_DEV_ROOT", "", 1);
  unsetenv("CHANSET_PROC_ROOT");
  DiscoveryRoots roots = DiscoveryRootsFromEnvironment();
  EXPECT_EQ(roots.sys, "/tmp/s");
  EXPECT_EQ(roots.dev, "/dev");
  EXPECT_EQ(roots.proc, "/proc");
  unsetenv("CHANSET_SYSFS_ROOT");
  unsetenv("CHANSET_DEV_ROOT");
}

}  // namespace
