// chanset-cli against chanset-radio-sim: the backup of every read and the
// check after a write (`write --verify`), for one radio and for several,
// with the faults that make a check fail and the bad input around them.
#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <set>

#include "tests/e2e/CliFixture.h"

using namespace chanset;
using namespace clitest;

namespace {

// The files of `folder`, sorted by name; none when it does not exist.
std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(folder + "/" + e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Channel 1 at 446.00625 MHz both ways, in a new image. The simulator's
// corrupt-write:2 flips the lowest bit of block 2, the first byte of
// channel 1's receive frequency: the radio then holds 446.00624.
Image PlanWithChannel1() {
  Image image = NewImage();
  image[off::kRadioType] = image[off::kBand] = 0;
  const std::uint8_t freq[4] = {0x25, 0x06, 0x60, 0x44};
  std::copy(freq, freq + 4, image.begin() + off::channel(1));
  std::copy(freq, freq + 4, image.begin() + off::channel(1) + 4);
  return image;
}

class CliSafe : public CliTransfer {
 protected:
  // A plan in in.dat; returns its bytes.
  std::string StorePlan() {
    EXPECT_EQ(StoreDatFile(Path("in.dat"), PlanWithChannel1()), DatError::None);
    return ReadFile(Path("in.dat"));
  }
};

TEST_F(CliSafe, EveryReadKeepsABackupByteEqualToWhatWasRead) {
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), RandomImage(21)), DatError::None);
  std::string port = StartSimulator({"--image", Path("radio.dat")});

  Outcome a = RunCli({"read", "--port", port, Path("a.dat")});
  ASSERT_EQ(a.status, 0) << a.err;
  std::vector<std::string> backups = Files(BackupFolder());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(ReadFile(backups[0]), ReadFile(Path("a.dat")));
  EXPECT_TRUE(Contains(a.out, "backup: " + backups[0] + "\n")) << a.out;
  // YYYY-MM-DD_HH-MM-SS.dat
  const std::string name = backups[0].substr(backups[0].rfind('/') + 1);
  EXPECT_EQ(name.size(), 23u) << name;
  EXPECT_EQ(name.substr(10, 1) + name.substr(19), "_.dat") << name;

  // A second read never replaces the first backup, even within one second.
  Outcome b = RunCli({"read", "--port", port, Path("b.dat")});
  ASSERT_EQ(b.status, 0) << b.err;
  backups = Files(BackupFolder());
  ASSERT_EQ(backups.size(), 2u);
  for (const std::string& backup : backups) EXPECT_EQ(ReadFile(backup), ReadFile(Path("b.dat")));

  Outcome c = RunCli({"read", "--no-backup", "--port", port, Path("c.dat")});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Files(BackupFolder()).size(), 2u);
  EXPECT_FALSE(Contains(c.out, "backup")) << c.out;
}

TEST_F(CliSafe, ABackupThatCannotBeWrittenIsAWarningAndTheReadStillSucceeds) {
  // The data folder is a file: no backups folder can be made in it, not even by root.
  std::ofstream(Path("data")) << "in the way";
  Image radio = RandomImage(22);
  ASSERT_EQ(StoreDatFile(Path("radio.dat"), radio), DatError::None);
  std::string port = StartSimulator({"--image", Path("radio.dat")});

  const struct {
    const char* lang;
    const char* warning;
  } cases[] = {{"en", "chanset-cli: warning: Could not store a backup of the data read in "},
               {"zh", "chanset-cli: warning: 无法在 "}};
  for (const auto& c : cases) {
    Outcome o = RunCli({"read", "--lang", c.lang, "--port", port, Path("out.dat")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(Contains(o.err, c.warning)) << o.err;
    EXPECT_TRUE(Contains(o.err, "Not a directory")) << o.err;
    EXPECT_TRUE(SameRows(LoadImage(Path("out.dat")), radio, 0, 61));
    EXPECT_TRUE(Contains(o.out, "read 62 rows")) << o.out;
  }
}

TEST_F(CliSafe, ReadingSeveralRadiosKeepsABackupOfEach) {
  std::vector<std::string> args = {"read"};
  for (unsigned i = 0; i < 3; ++i) {
    const std::string image = Path("radio" + std::to_string(i) + ".dat");
    ASSERT_EQ(StoreDatFile(image, RandomImage(30 + i)), DatError::None);
    std::string port = i == 0 ? StartSimulator({"--image", image}) : StartAnotherSimulator({"--image", image});
    args.insert(args.end(), {"--port", port});
  }
  args.push_back(Path("out"));
  Outcome o = RunCli(args);
  ASSERT_EQ(o.status, 0) << o.out << o.err;
  std::set<std::string> read, kept;
  for (const std::string& f : Files(Path("out"))) read.insert(ReadFile(f));
  for (const std::string& f : Files(BackupFolder())) {
    kept.insert(ReadFile(f));
    EXPECT_TRUE(Contains(o.out, "; backup: " + f + "\n")) << o.out;
  }
  EXPECT_EQ(read.size(), 3u);
  EXPECT_EQ(kept, read);
}

TEST_F(CliSafe, VerifiedWritePassesOnAGoodRadioAndKeepsTheReadBack) {
  const std::string plan = StorePlan();
  std::string port = StartSimulator({"--save", Path("saved.dat")});
  Outcome o = RunCli({"write", "--verify", "--trace", Path("trace.txt"), "--port", port, Path("in.dat")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  EXPECT_TRUE(Contains(o.out, "wrote 62 rows of ")) << o.out;
  EXPECT_TRUE(Contains(o.out, "\nverified: the radio holds what was written\n")) << o.out;
  // The read-back is a whole .dat of the radio: here exactly the plan.
  std::vector<std::string> backups = Files(BackupFolder());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(ReadFile(backups[0]), plan);
  // The write, then the read-back, each traced from its header to its end.
  const std::string trace = ReadFile(Path("trace.txt"));
  EXPECT_LT(trace.find("# write on "), trace.find("# read on ")) << trace.substr(0, 200);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '#'), 2);
}

struct VerifyFault {
  const char* name;
  const char* fault;
  const char* lang;
  int status;
  const char* err;      // the whole of stderr
  bool readBackKept;    // the read-back completed and is in the backups
};

class CliVerifyFault : public CliSafe, public ::testing::WithParamInterface<VerifyFault> {};

TEST_P(CliVerifyFault, TheWriteStandsAndTheCheckSaysWhatWentWrong) {
  const VerifyFault& c = GetParam();
  const std::string plan = StorePlan();
  std::string port = StartSimulator({"--save", Path("saved.dat"), "--fault", c.fault});
  Outcome o = RunCli({"write", "--verify", "--lang", c.lang, "--port", port, Path("in.dat")});
  EXPECT_EQ(o.status, c.status) << o.err;
  EXPECT_EQ(o.err, c.err);
  EXPECT_TRUE(Contains(o.out, "wrote 62 rows of ")) << o.out;
  // The write completed: the radio holds what it acknowledged.
  Image saved = LoadImage(Path("saved.dat"));
  std::vector<std::string> backups = Files(BackupFolder());
  ASSERT_EQ(backups.size(), c.readBackKept ? 1u : 0u);
  if (c.readBackKept) EXPECT_TRUE(SameRows(LoadImage(backups[0]), saved, 0, 61));
  else EXPECT_TRUE(SameRows(saved, PlanWithChannel1(), 0, 61));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CliVerifyFault,
    ::testing::Values(
        VerifyFault{"differs", "corrupt-write:2", "en", 4,
                    "chanset-cli: verify failed: the radio does not hold what was written (written -> read back):\n"
                    "CH 1 Rx Frequency: 446.00625 -> 446.00624\n",
                    true},
        VerifyFault{"differs_zh", "corrupt-write:2", "zh", 4,
                    "chanset-cli: 校验失败：电台中的数据与写入的不一致（写入 -> 读回）：\n"
                    "信道 1 接收频率: 446.00625 -> 446.00624\n",
                    true},
        // Short replies come only in reads: the write goes through, its read-back fails.
        VerifyFault{"read_back_fails", "short-reply:5", "en", 3,
                    "chanset-cli: written but not verified: Program Interrupt, Please reset the radio and try "
                    "again\n",
                    false},
        VerifyFault{"read_back_fails_zh", "short-reply:5", "zh", 3,
                    "chanset-cli: 已写入，但未校验：编程中断，请重新启动电台后再试\n", false}),
    [](const ::testing::TestParamInfo<VerifyFault>& info) { return std::string(info.param.name); });

TEST_F(CliSafe, CtrlCDuringTheReadBackLeavesTheRadioAsWrittenAndSaysSo) {
  StorePlan();
  // At the radio's own pace, so there is time to press Ctrl-C.
  std::string port = StartAnotherSimulator({"--save", Path("saved.dat")}, false);
  pid_t cli = StartCli({"write", "--verify", "--trace", Path("trace.txt"), "--port", port, Path("in.dat")});
  // A read request of block 4: only the read-back sends one.
  ASSERT_TRUE(WaitForText(Path("trace.txt"), " TX 52 00 20 08", 20000)) << "the read-back did not start";
  kill(cli, SIGINT);
  Outcome o = FinishCli(cli);
  EXPECT_EQ(o.status, 130);
  EXPECT_TRUE(Contains(o.err, "chanset-cli: written but not verified: the read-back was cancelled\n")) << o.err;
  EXPECT_TRUE(SameRows(LoadImage(Path("saved.dat")), PlanWithChannel1(), 0, 61));
  EXPECT_TRUE(Files(BackupFolder()).empty());
}

TEST_F(CliSafe, SeveralRadiosEachGetTheirOwnVerdict) {
  StorePlan();
  std::vector<std::string> ports = {StartSimulator({}), StartAnotherSimulator({"--fault", "corrupt-write:2"}),
                                    StartAnotherSimulator({"--fault", "short-reply:5"})};
  Outcome o = RunCli({"write", "--verify", "--port", ports[0], "--port", ports[1], "--port", ports[2], Path("in.dat")});
  EXPECT_EQ(o.status, 4) << "a radio that differs outweighs one not verified: " << o.out << o.err;
  const std::string backups = BackupFolder() + "/";
  EXPECT_TRUE(Contains(o.out, ports[0] + ": written, read back into " + backups)) << o.out;
  EXPECT_TRUE(Contains(o.out, ".dat; verified: the radio holds what was written\n")) << o.out;
  EXPECT_TRUE(Contains(o.out, ports[1] + ": written, read back into " + backups)) << o.out;
  EXPECT_TRUE(Contains(o.out, ".dat; verify failed: the radio does not hold what was written (written -> read back):\n"
                              "  CH 1 Rx Frequency: 446.00625 -> 446.00624\n"))
      << o.out;
  EXPECT_TRUE(Contains(o.out, ports[2] + ": written but not verified: Program Interrupt")) << o.out;
  EXPECT_TRUE(Contains(o.out, "wrote and verified 1 of 3 radios; differ: " + ports[1] + "; not verified: " +
                                  ports[2] + "\n"))
      << o.out;
  EXPECT_EQ(Files(BackupFolder()).size(), 2u) << "the two complete read-backs";
}

TEST_F(CliSafe, BadOptionsAreRefusedBeforeTheRadioIsTouched) {
  StorePlan();
  std::string port = StartSimulator({"--save", Path("saved.dat")});
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"read", "--verify", "--port", port, Path("out.dat")}, "--verify belongs to write"},
      {{"write", "--verify", "--lang", "fr", "--port", port, Path("in.dat")}, "--lang takes en or zh, not 'fr'"},
      {{"write", "--verify", "--port", port, Path("in.dat"), "--lang"}, "--lang needs a value"},
      {{"--ini", Path("none.ini"), "write", "--verify", "--port", port, Path("in.dat")},
       "none.ini: settings file not found"},
      {{"write", "--verify", "--port", port, Path("missing.dat")}, "missing.dat: No such file or directory"},
  };
  for (const auto& c : cases) {
    Outcome o = RunCli(c.args);
    EXPECT_EQ(o.status, 1) << c.message;
    EXPECT_TRUE(Contains(o.err, c.message)) << c.message << ": " << o.err;
  }
  EXPECT_FALSE(Exists(Path("saved.dat"))) << "nothing was written to the radio";
  EXPECT_FALSE(Exists(Path("out.dat")));
  EXPECT_TRUE(Files(BackupFolder()).empty());
}

}  // namespace
