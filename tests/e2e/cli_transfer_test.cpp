// chanset-cli read and write against chanset-radio-sim on a pseudo-terminal:
// the real serial code path end to end, with the simulator's faults.
#include <cctype>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "link/SerialPort.h"
#include "tests/e2e/CliFixture.h"

using namespace chanset;
using namespace clitest;

namespace {

TEST_F(CliTransfer, ReadIsByteExactWithRowsAbove61FromANewImage) {
  Image radio = RandomImage(1);
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), radio), DatError::None);
  std::string port = StartSimulator({"--image", Path("radio.dat")});

  Outcome o = RunCli({"read", "--port", "COM5", Path("out.dat")}, {"CHANSET_COM5=" + port});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "") << "no progress bar when stderr is not a terminal";
  EXPECT_NE(o.out.find("read 62 rows"), std::string::npos) << o.out;
  Image got = LoadImage(Path("out.dat"));
  EXPECT_TRUE(SameRows(got, radio, 0, 61));
  EXPECT_TRUE(SameRows(got, NewImage(), 62, 63));
}

TEST_F(CliTransfer, WriteIsByteExactAndTheRadioKeepsItsRows62And63) {
  Image radio = RandomImage(2), file = RandomImage(3);
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), radio), DatError::None);
  ASSERT_EQ(StoreDatFile(Path("in.dat"), file), DatError::None);
  std::string port = StartSimulator({"--image", Path("radio.dat"), "--save", Path("saved.dat")});

  Outcome o = RunCli({"write", "--port", port, Path("in.dat")});
  ASSERT_EQ(o.status, 0) << o.err;
  Image saved = LoadImage(Path("saved.dat"));
  EXPECT_TRUE(SameRows(saved, file, 0, 61));
  EXPECT_TRUE(SameRows(saved, radio, 62, 63));
  EXPECT_EQ(LoadImage(Path("in.dat")), file);
}

TEST_F(CliTransfer, OneSimulatorServesAReadThenAWriteAndExitsAfterThem) {
  std::string port = StartSimulator({"--exit-after", "2", "--save", Path("saved.dat"), "--link", Path("ttyRADIO")});
  Outcome r = RunCli({"read", "--port", Path("ttyRADIO"), Path("a.dat")});
  ASSERT_EQ(r.status, 0) << r.err;
  Image a = LoadImage(Path("a.dat"));
  EXPECT_EQ(a[off::kRadioType], 0);
  EXPECT_EQ(a[off::channel(1) + 3], 0x44) << "sample channel 1 is in the 440 MHz range";
  a[off::channel(7)] = 0x12;
  ASSERT_EQ(StoreDatFile(Path("b.dat"), a), DatError::None);
  Outcome w = RunCli({"write", "--port", port, Path("b.dat")});
  ASSERT_EQ(w.status, 0) << w.err;
  EXPECT_EQ(WaitForSimulator(3000), 0);
  EXPECT_TRUE(SameRows(LoadImage(Path("saved.dat")), a, 0, 61));
  EXPECT_FALSE(Exists(Path("ttyRADIO"))) << "the link goes with the simulator";
}

struct FaultCase {
  const char* fault;
  bool write;
  const char* message;
  const char* detail;  // a second text expected on stderr, or ""
};

class CliFault : public CliTransfer, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(CliFault, ShowsItsMessageFailsAndLosesNothing) {
  const FaultCase& c = GetParam();
  Image radio = RandomImage(4);
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), radio), DatError::None);
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(5)), DatError::None);
  std::ofstream(Path("out.dat")) << "keep me";
  std::string port = StartSimulator({"--image", Path("radio.dat"), "--save", Path("saved.dat"), "--fault", c.fault});

  Outcome o = c.write ? RunCli({"write", "--port", port, Path("in.dat")})
                      : RunCli({"read", "--port", port, Path("out.dat")});
  EXPECT_NE(o.status, 0);
  EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
  EXPECT_NE(o.err.find(c.detail), std::string::npos) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(ReadFile(Path("out.dat")), "keep me");
  EXPECT_FALSE(Exists(Path("saved.dat"))) << "an incomplete write must not count as one";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CliFault,
    ::testing::Values(FaultCase{"silent", false, kInterrupt, ""},
                      FaultCase{"no-ack-stage1", true, kInterrupt, ""},
                      FaultCase{"no-ack-stage2", false, kCommError, "cancelled"},
                      FaultCase{"short-reply:37", false, kInterrupt, ""},
                      FaultCase{"wrong-ack:20", false, kInterrupt, ""},
                      FaultCase{"wrong-ack:50", true, kInterrupt, ""},
                      FaultCase{"hangup:60", false, kInterrupt, "was lost: check that the cable is still plugged in"},
                      FaultCase{"hangup:10", true, kInterrupt, "was lost: check that the cable is still plugged in"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
      std::string name = std::string(info.param.fault) + (info.param.write ? "_write" : "_read");
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST_F(CliTransfer, RetryTypedOnATerminalRepeatsTheHandshakeAndReads) {
  std::string port = StartSimulator({"--fault", "no-ack-stage2"});
  Outcome o = RunCli({"read", "--port", port, Path("out.dat")}, {}, "r\n");
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.err.find(kCommError), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("Retry or Cancel?"), std::string::npos) << o.err;
  EXPECT_TRUE(Exists(Path("out.dat")));
}

TEST_F(CliTransfer, PortHeldByAnotherProgramIsRefused) {
  std::string port = StartSimulator({"--save", Path("saved.dat")});
  SerialPort holder;
  ASSERT_TRUE(holder.Open(port)) << holder.LastError().text;
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(6)), DatError::None);
  Outcome o = RunCli({"write", "--port", port, Path("in.dat")});
  EXPECT_NE(o.status, 0);
  EXPECT_NE(o.err.find(kOpenFailed), std::string::npos) << o.err;
  EXPECT_NE(o.err.find(port + " is locked by "), std::string::npos) << o.err;
  EXPECT_FALSE(Exists(Path("saved.dat")));
}

// COMn resolves through [Software\<AppName>\Ports] of the user registry, with
// AppName from --ini FILE or from Chanset.ini beside the program, as in the GUI.
TEST_F(CliTransfer, PortMapOfTheUserRegistryNamesTheDevice) {
  Image radio = RandomImage(7);
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), radio), DatError::None);
  std::string port = StartSimulator({"--image", Path("radio.dat")});
  ASSERT_EQ(mkdir(Path("config").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(Path("config/Chanset").c_str(), 0700), 0);
  std::ofstream(Path("config/Chanset/registry.ini"))
      << "[Software\\Shop\\Ports]\nCOM3=" << port << "\n[Software\\Chanset\\Ports]\nCOM4=" << port << "\n";
  std::ofstream(Path("shop.ini")) << "[Setup]\nAppName=Shop\n";
  const std::string config = "XDG_CONFIG_HOME=" + Path("config");

  Outcome viaIni = RunCli({"--ini", Path("shop.ini"), "read", "--port", "COM3", Path("a.dat")}, {config});
  ASSERT_EQ(viaIni.status, 0) << viaIni.err;
  EXPECT_TRUE(SameRows(LoadImage(Path("a.dat")), radio, 0, 61));
  // The build's own Chanset.ini says AppName=Chanset.
  Outcome viaAppDir = RunCli({"read", "--port", "\\\\.\\COM4", Path("b.dat")}, {config});
  ASSERT_EQ(viaAppDir.status, 0) << viaAppDir.err;
  EXPECT_TRUE(SameRows(LoadImage(Path("b.dat")), radio, 0, 61));
  // COM3 of another AppName is not this one's: its default device is used.
  Outcome other = RunCli({"read", "--port", "COM3", Path("c.dat")}, {config});
  EXPECT_NE(other.status, 0);
  EXPECT_NE(other.err.find("/dev/ttyUSB2"), std::string::npos) << other.err;
  Outcome missing = RunCli({"--ini", Path("none.ini"), "read", "--port", "COM3", Path("d.dat")}, {config});
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.err.find("settings file not found"), std::string::npos) << missing.err;
  EXPECT_FALSE(Exists(Path("none.ini")));
  EXPECT_FALSE(Exists(Path("c.dat")) || Exists(Path("d.dat")));
}

struct BadInput {
  std::vector<std::string> args;
  const char* message;
};

TEST_F(CliTransfer, BadInputGetsAClearMessageAndTouchesNothing) {
  std::ofstream(Path("text.dat")) << "this text is no configuration file at all";
  std::ofstream(Path("keep.dat")) << "keep me";
  const BadInput cases[] = {
      {{"read", "--port", Path("ttyNONE"), Path("keep.dat")}, kOpenFailed},
      {{"read", "--port", Path("ttyNONE"), Path("keep.dat")}, "ttyNONE does not exist: the programming cable"},
      {{"read", "--port", "COM17", Path("keep.dat")}, "COM1 to COM16"},
      {{"read", "--port", "\\\\.\\COM0", Path("keep.dat")}, "COM1 to COM16"},
      {{"read", Path("keep.dat")}, "--port"},
      {{"read", "--port", "/dev/null", Path("nodir/out.dat")}, "cannot write"},
      {{"read", "--port", "/dev/null", Path("nodir/out.dat")}, "No such file or directory"},
      {{"read", "--port", "/dev/null", dir_}, "is a folder"},
      {{"write", "--port", "/dev/null", Path("text.dat")}, "Data Format Error"},
      {{"write", "--port", "/dev/null", Path("absent.dat")}, "No such file or directory"},
      {{"write", "--port", "/dev/null", Path("keep.dat")}, "Data Format Error"},
  };
  for (const BadInput& c : cases) {
    Outcome o = RunCli(c.args);
    EXPECT_NE(o.status, 0) << c.args[0] << " " << c.args.back();
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
  }
  EXPECT_EQ(ReadFile(Path("keep.dat")), "keep me");
  EXPECT_EQ(ReadFile(Path("text.dat")), "this text is no configuration file at all");
}

}  // namespace
