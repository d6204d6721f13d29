// chanset-cli diff: its lines, its exit status (0 equal, 1 different,
// 2 trouble) and its bad input; and a write that the radio does not keep
// (the simulator's corrupt-write fault), found by reading back and comparing.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "data/DatFile.h"
#include "data/MemoryImage.h"
#include "tests/e2e/ChildProcess.h"
#include "tests/e2e/SimulatorProcess.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/Unprivileged.h"

using namespace chanset;
using testutil::ReadText;
using testutil::WriteText;

namespace {

const std::string kBin = CHANSET_APP_DIR;

struct Outcome {
  int status = -1;
  std::string out, err;
};

class CliDiff : public ::testing::Test {
 protected:
  void SetUp() override {
    // Readable by everyone, so that an unprivileged run finds its way in.
    ASSERT_EQ(chmod(dir_.Path().c_str(), 0755), 0);
  }
  void TearDown() override {
    if (sim_ > 0) {
      kill(sim_, SIGTERM);
      waitpid(sim_, nullptr, 0);
    }
  }

  std::string Path(const std::string& name) const { return dir_.File(name); }

  // Runs chanset-cli; `unprivileged` runs it as an ordinary user, for whom
  // file permissions count even when the tests run as root.
  Outcome Run(const std::vector<std::string>& args, bool unprivileged = false) {
    const std::string outPath = io_.File("out"), errPath = io_.File("err");
    pid_t pid = fork();
    if (pid == 0) {
      int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(o, STDOUT_FILENO);
      dup2(e, STDERR_FILENO);
      if (unprivileged && !testutil::BecomeUnprivileged()) _exit(126);
      ExecProgram(kBin + "/chanset-cli", args);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(outPath), ReadText(errPath)};
  }

  // A new image stored as `name`, changed by `change` first.
  template <typename F>
  void Store(const std::string& name, F change) {
    Image image = NewImage();
    image[off::kRadioType] = image[off::kBand] = 0;
    change(image);
    ASSERT_EQ(StoreDatFile(Path(name), image), DatError::None);
  }
  void Store(const std::string& name) {
    Store(name, [](Image&) {});
  }

  testutil::TempDir dir_, io_;
  pid_t sim_ = -1;
};

// Channel 1 at 446.00625 MHz both ways, no tones.
void Channel1(Image& image) {
  const std::uint8_t freq[4] = {0x25, 0x06, 0x60, 0x44};
  std::copy(freq, freq + 4, image.begin() + off::channel(1));
  std::copy(freq, freq + 4, image.begin() + off::channel(1) + 4);
}

TEST_F(CliDiff, ExitStatusAndLinesInBothLanguages) {
  Store("a.dat");
  Store("same.dat");
  Store("b.dat", [](Image& i) {
    Channel1(i);
    i[off::kSquelch] = 9;
    i[off::kRadioType] = 1;
    i[0x3E0] = 0x50;  // files carry the power table too
  });
  WriteText(Path("types.ini"), "[Setup]\nType1=Alpha\nField1=400-470MHz\nType2=Beta\nField2=136-174MHz\n");

  Outcome same = Run({"diff", Path("a.dat"), Path("same.dat")});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "");

  Outcome en = Run({"--ini", Path("types.ini"), "diff", Path("a.dat"), Path("b.dat")});
  EXPECT_EQ(en.status, 1) << en.err;
  EXPECT_EQ(en.err, "");
  EXPECT_EQ(en.out,
            "CH 1 Rx Frequency: (empty) -> 446.00625\nCH 1 Tx Frequency: (empty) -> 446.00625\n"
            "CH 1 QT/DQT Dec: (empty) -> None\nCH 1 QT/DQT Enc: (empty) -> None\nCH 1 W/N: (empty) -> Wide\n"
            "CH 1 Scan: (empty) -> Yes\nCH 1 Busy Lock: (empty) -> QT/DQT\nCH 1 Power: (empty) -> High\n"
            "Squelch Level: 5 -> 9\nType: Alpha -> Beta\nFrequency: 400-470MHz -> 136-174MHz\n0x3E0: 4D -> 50\n");
  Outcome zh = Run({"diff", Path("b.dat"), Path("a.dat"), "--lang", "zh", "--ini", Path("types.ini")});
  EXPECT_EQ(zh.status, 1) << zh.err;
  EXPECT_EQ(zh.out.substr(0, zh.out.find('\n')), "信道 1 接收频率: 446.00625 -> (空)");
  EXPECT_NE(zh.out.find("\n静噪电平: 9 -> 5\n类型: Beta -> Alpha\n频率: 136-174MHz -> 400-470MHz\n"), std::string::npos)
      << zh.out;
  // Without --ini the names come from the settings file beside the program.
  Outcome shipped = Run({"diff", Path("a.dat"), Path("b.dat")});
  EXPECT_EQ(shipped.status, 1);
  EXPECT_NE(shipped.out.find("\nType: KRR-45 -> KRR-15\nFrequency: 400-470MHz -> 136-174MHz\n"), std::string::npos)
      << shipped.out;
}

TEST_F(CliDiff, BadInputIsAMessageAndExitTwo) {
  Store("good.dat");
  const std::string good = ReadText(Path("good.dat"));
  WriteText(Path("short.dat"), good.substr(0, 1039));
  WriteText(Path("text.dat"), "CH,Rx Frequency\n" + std::string(1100, 'x'));
  WriteText(Path("locked.dat"), good);
  ASSERT_EQ(chmod(Path("locked.dat").c_str(), 0600), 0);
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(Path("locked.dat").c_str(), 0), 0);
  }
  mkdir(Path("folder").c_str(), 0755);

  const struct {
    std::vector<std::string> args;
    std::string message;
    bool unprivileged;
  } cases[] = {
      {{"diff", Path("good.dat"), Path("missing.dat")}, "missing.dat: No such file or directory", false},
      {{"diff", Path("short.dat"), Path("good.dat")}, "short.dat: Data Format Error", false},
      {{"diff", Path("good.dat"), Path("text.dat"), "--lang", "zh"}, "text.dat: 数据格式不正确", false},
      {{"diff", Path("folder"), Path("good.dat")}, "folder: not a regular file", false},
      {{"diff", Path("good.dat"), Path("locked.dat")}, "locked.dat: Permission denied", true},
      {{"diff", Path("good.dat")}, "usage: chanset-cli diff", false},
      {{"diff", Path("good.dat"), Path("good.dat"), Path("good.dat")}, "usage: chanset-cli diff", false},
      {{"diff", Path("good.dat"), Path("good.dat"), "--lang", "fr"}, "--lang takes en or zh", false},
      {{"diff", Path("good.dat"), Path("good.dat"), "--ini", Path("none.ini")}, "none.ini: settings file not found",
       false},
      {{"diff", Path("good.dat"), Path("good.dat"), "--ini"}, "--ini needs a value", false},
  };
  for (const auto& c : cases) {
    Outcome o = Run(c.args, c.unprivileged);
    EXPECT_EQ(o.status, 2) << c.message << ": " << o.err;
    EXPECT_EQ(o.out, "") << c.message;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << c.message << ": " << o.err;
  }
  EXPECT_NE(access(Path("none.ini").c_str(), F_OK), 0) << "a missing settings file is not created";
}

TEST_F(CliDiff, WriteTheRadioDoesNotKeepShowsInTheReadBack) {
  Store("in.dat", Channel1);
  std::string port = SpawnSimulator(kBin + "/chanset-radio-sim", {"--fast", "--fault", "corrupt-write:2"}, sim_);
  ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;

  Outcome write = Run({"write", "--port", port, Path("in.dat")});
  ASSERT_EQ(write.status, 0) << "the radio acknowledged every block: " << write.err;
  Outcome read = Run({"read", "--port", port, Path("back.dat")});
  ASSERT_EQ(read.status, 0) << read.err;
  Outcome diff = Run({"diff", Path("in.dat"), Path("back.dat")});
  EXPECT_EQ(diff.status, 1) << diff.err;
  EXPECT_EQ(diff.out, "CH 1 Rx Frequency: 446.00625 -> 446.00624\n");
}

}  // namespace
