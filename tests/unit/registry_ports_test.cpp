#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "link/PortNames.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

// Every test gets its own configuration folder and a settings file whose
// AppName is "TestApp"; the user's real configuration is never touched.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    WriteText(app_.File("Chanset.ini"), "[Setup]\nAppName=TestApp\n");
    ASSERT_TRUE(g_settingsFile().LoadPath(app_.File("Chanset.ini"), false, true, false));
    for (int n = 1; n <= kPortCount; ++n) unsetenv(("CHANSET_COM" + std::to_string(n)).c_str());
  }
  void TearDown() override {
    g_settingsFile().Clear();
    unsetenv("XDG_CONFIG_HOME");
  }
  std::string RegistryFile() const { return config_.File("Chanset/registry.ini"); }

  TempDir config_;
  TempDir app_;
};

TEST_F(RegistryTest, FileLivesUnderTheConfigHome) {
  EXPECT_EQ(UserRegistry::FilePath(), RegistryFile());
  EXPECT_EQ(AppRegistryKey(), "Software\\TestApp");
}

TEST_F(RegistryTest, ReadsGiveDefaultsWithoutCreatingAnything) {
  EXPECT_EQ(UserRegistry::ReadDword("Software\\TestApp", "com", 7), 7u);
  EXPECT_EQ(UserRegistry::ReadString("Software\\TestApp", "x", "d"), "d");
  struct stat st;
  EXPECT_NE(stat(config_.File("Chanset").c_str(), &st), 0);
}

TEST_F(RegistryTest, WriteCreatesFoldersAndOneSectionPerKeyPath) {
  UserRegistry::WriteDword("Software\\TestApp", "com", 3);
  UserRegistry::WriteDword("Software\\TestApp", "Type", 2);
  UserRegistry::WriteString("Software\\TestApp\\Ports", "COM3", "/dev/pts/9");
  EXPECT_EQ(ReadText(RegistryFile()),
            "[Software\\TestApp]\ncom=3\nType=2\n[Software\\TestApp\\Ports]\nCOM3=/dev/pts/9\n");
  EXPECT_EQ(UserRegistry::ReadDword("software\\testapp", "COM"), 3u);
}

TEST_F(RegistryTest, EachWriteKeepsValuesWrittenByOthers) {
  UserRegistry::WriteDword("Software\\TestApp", "com", 3);
  // Another instance adds a value behind our back.
  std::string text = ReadText(RegistryFile()) + "Field=4\n";
  WriteText(RegistryFile(), text);
  UserRegistry::WriteDword("Software\\TestApp", "Type", 1);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\TestApp", "Field"), 4u);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\TestApp", "com"), 3u);
}

TEST_F(RegistryTest, StringValuesKeepTheirCaseAndSlashes) {
  UserRegistry::WriteString("K", "COM1", "/dev/ttyusb0");
  UserRegistry::WriteString("K", "COM1", "/dev/ttyUSB0");
  EXPECT_EQ(UserRegistry::ReadString("K", "COM1"), "/dev/ttyUSB0");
  UserRegistry::WriteString("K", "COM2", "/dev/serial//by-id/x");
  EXPECT_EQ(UserRegistry::ReadString("K", "COM2"), "/dev/serial//by-id/x");
  UserRegistry::WriteString("K", "COM3", "a\nb=c");
  EXPECT_EQ(UserRegistry::ReadString("K", "COM3", "none"), "none");
  EXPECT_EQ(UserRegistry::ReadString("K", "b", "none"), "none");
}

struct DwordCase {
  const char* stored;  // nullptr: no value
  std::uint32_t expected;
};

TEST_F(RegistryTest, DwordReadsFallBackOnNonNumbers) {
  const DwordCase cases[] = {{"12", 12}, {"0", 0}, {"4294967295", 4294967295u},
                             {"4294967296", 99}, {"-1", 99}, {"abc", 99},
                             {"12x", 99}, {"", 99}, {nullptr, 99}};
  mkdir(config_.File("Chanset").c_str(), 0700);
  for (const DwordCase& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(missing)");
    WriteText(RegistryFile(), c.stored ? std::string("[K]\nv=") + c.stored + "\n" : "[K]\n");
    EXPECT_EQ(UserRegistry::ReadDword("K", "v", 99), c.expected);
  }
}

TEST_F(RegistryTest, CreateKeyAddsAnEmptySectionOnce) {
  UserRegistry::CreateKey("Software\\TestApp");
  UserRegistry::CreateKey("software\\TESTAPP");
  EXPECT_EQ(ReadText(RegistryFile()), "[Software\\TestApp]\n");
}

// ---- port names and the device map ----

TEST(PortNames, NameRuleAndBackScan) {
  const struct {
    int port;
    const char* name;
  } cases[] = {{1, "COM1"}, {9, "COM9"}, {10, "\\\\.\\COM10"}, {12, "\\\\.\\COM12"},
               {16, "\\\\.\\COM16"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    EXPECT_EQ(PortName(c.port), c.name);
    EXPECT_EQ(PortNumberFromName(c.name), c.port);
  }
  // The scan needs something before the first capital M and a number after it.
  EXPECT_EQ(PortNumberFromName("M5"), 0);
  EXPECT_EQ(PortNumberFromName("com5"), 0);
  EXPECT_EQ(PortNumberFromName("COMX"), 0);
  EXPECT_EQ(PortNumberFromName(""), 0);
  EXPECT_EQ(PortNumberFromName("/dev/ttyMX7"), 0);
  EXPECT_EQ(PortNumberFromName("xyzM 42"), 42);
}

TEST_F(RegistryTest, DefaultDeviceMap) {
  const char* expected[] = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3",
                            "/dev/ttyUSB4", "/dev/ttyUSB5", "/dev/ttyUSB6", "/dev/ttyUSB7",
                            "/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyACM2", "/dev/ttyACM3",
                            "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3"};
  for (int n = 1; n <= kPortCount; ++n) EXPECT_EQ(DevicePathForPort(n), expected[n - 1]) << n;
  EXPECT_EQ(DevicePathForPort(0), "");
  EXPECT_EQ(DevicePathForPort(17), "");
}

TEST_F(RegistryTest, RegistryThenEnvironmentOverrideTheMap) {
  UserRegistry::WriteString(PortsRegistryKey(), "COM2", "/dev/pts/4");
  EXPECT_EQ(PortsRegistryKey(), "Software\\TestApp\\Ports");
  EXPECT_EQ(DevicePathForPort(2), "/dev/pts/4");
  EXPECT_EQ(DevicePathForPort(3), "/dev/ttyUSB2");
  setenv("CHANSET_COM2", "/tmp/env-port", 1);
  setenv("CHANSET_COM3", "", 1);  // an empty variable overrides nothing
  EXPECT_EQ(DevicePathForPort(2), "/tmp/env-port");
  EXPECT_EQ(DevicePathForPort(3), "/dev/ttyUSB2");
}

TEST_F(RegistryTest, ResolvePortArgument) {
  setenv("CHANSET_COM11", "/dev/pts/11", 1);
  const struct {
    const char* arg;
    const char* path;
  } cases[] = {{"COM1", "/dev/ttyUSB0"},        {"com9", "/dev/ttyACM0"},
               {"Com16", "/dev/ttyS3"},         {"\\\\.\\COM11", "/dev/pts/11"},
               {"\\\\.\\com2", "/dev/ttyUSB1"}, {"/dev/pts/3", "/dev/pts/3"},
               {"COM0", ""},                    {"COM17", ""},
               {"COM01", ""},                   {"\\\\.\\PIPE", ""},
               {"./COM3", "./COM3"}};
  for (const auto& c : cases) EXPECT_EQ(ResolvePortArgument(c.arg), c.path) << c.arg;
}

TEST_F(RegistryTest, RememberedPort) {
  EXPECT_EQ(LoadRememberedPort(), 1);  // nothing stored
  StoreRememberedPort(12);
  EXPECT_EQ(LoadRememberedPort(), 12);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\TestApp", "com"), 12u);
  StoreRememberedPort(17);  // ignored
  EXPECT_EQ(LoadRememberedPort(), 12);
  for (std::uint32_t bad : {0u, 17u, 4000000000u}) {
    UserRegistry::WriteDword("Software\\TestApp", "com", bad);
    EXPECT_EQ(LoadRememberedPort(), 1) << bad;
  }
}

}  // namespace
