// Every command that takes a path, given the paths a careless user or an
// attacker would give it. Each row is a shell line run in a folder of known
// files; it states the exit status, a part of the message, and what every
// file of the folder holds afterwards (the files a row does not name must
// be byte for byte as they were). No row may hang, and nothing printed on
// stderr may carry a raw control character.
#include <gtest/gtest.h>

#include <dirent.h>
#include <cstring>
#include <map>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/DatFile.h"
#include "tests/e2e/SimulatorProcess.h"
#include "tests/unit/FakeSerialTree.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/Unprivileged.h"

using testutil::ReadText;
using testutil::WriteText;

namespace {

const std::string kBin = CHANSET_APP_DIR;

struct Row {
  const char* shell;    // {cli}, {port} and {port2} are filled in; runs in the folder
  int status;           // a row that hangs is killed after 20 s (137)
  const char* message;  // a part of stderr (or stdout)
  // Files that change: their bytes afterwards ({plan.csv}, {plan.dat} and
  // {read.dat} stand for those bytes; a trailing '*' makes it a prefix;
  // null: the file is gone or never made).
  std::vector<std::pair<std::string, const char*>> changes;
  bool plantedLink = false;  // needs a link that another user made (root only)
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.shell; }

const char kEvilCell[] = "\x1b]0;owned\x07";

const Row kRows[] = {
    // Standard streams: written through the descriptor the shell opened.
    {"{cli} export plan.dat /dev/stdout >> log.txt", 0, "", {{"log.txt", "old log\n{plan.csv}"}}},
    {"{cli} export plan.dat - | cat > piped.csv", 0, "", {{"piped.csv", "{plan.csv}"}}},
    {"{cli} export plan.dat /dev/stdout > /dev/full", 1, "cannot write /dev/stdout: No space left on device", {}},
    {"{cli} dump plan.dat > /dev/full", 1, "No space left on device", {}},
    {"{cli} ports --sysfs sys --dev dev --proc proc > /dev/full", 1, "cannot write to standard output", {}},
    // The reader has gone before anything is written (io/go says when).
    {"mkfifo io/go; (read x < io/go; {cli} export plan.dat -) | (exec 0<&-; echo > io/go)", 1,
     "cannot write -: Broken pipe", {}},
    {"{cli} diff - plan.dat < plan.dat", 0, "", {}},
    {"{cli} import - plan.dat out.dat < /dev/zero", 1, "-: too large to be a channel table", {}},
    {"(cat plan.csv > fifo &) && {cli} import fifo plan.dat out.dat", 0, "", {{"out.dat", "{plan.dat}"}}},
    // What is not a regular file is refused at once, never opened to write.
    {"{cli} export plan.dat fifo", 1, "cannot write fifo: not a regular file", {}},
    {"{cli} export plan.dat sock", 1, "cannot write sock: not a regular file", {}},
    {"{cli} export plan.dat sub", 1, "cannot write sub: Is a directory", {}},
    {"{cli} new /dev/null", 1, "not a regular file", {}},
    {"{cli} import /dev/zero plan.dat out.dat", 1, "cannot read /dev/zero: not a regular file", {}},
    {"{cli} import-csv sock plan.dat out.dat", 1, "cannot read sock: not a regular file", {}},
    {"{cli} export plan.dat plan.dat", 1, "plan.dat is the configuration file read", {}},
    {"{cli} import plan.csv plan.dat plan.csv", 1, "plan.csv is the CSV file read", {}},
    // A read-only file stays as it is, for root too.
    {"{cli} export plan.dat ro.csv", 1, "cannot write ro.csv: Permission denied", {}},
    {"{cli} read --port {port} --trace ro.csv out.dat", 1, "ro.csv: Permission denied", {}},
    // A link another user planted in a shared sticky folder is not followed.
    {"{cli} export plan.dat sticky/link", 1, "sticky/link: a symbolic link another user made", {}, true},
    {"{cli} import sticky/link plan.dat out.dat", 1, "a symbolic link another user made", {}, true},
    {"{cli} read --port {port} --trace sticky/link out.dat", 1, "a symbolic link another user made", {}, true},
    // A later save removes what a killed one left; the user's own link is followed.
    {"{cli} export plan.dat out.csv", 0, "", {{"out.csv", "{plan.csv}"}, {".chanset.999999999.out.csv.Ab12Cd", nullptr}}},
    {"{cli} export plan.dat own-link", 0, "", {{"own-target.csv", "{plan.csv}"}}},
    // The trace: appended to, never the transfer's own file or port.
    {"{cli} write --port {port} --trace plan.dat plan.dat", 1, "the trace plan.dat is the file plan.dat", {}},
    {"{cli} read --port {port} --trace log.txt log.txt", 1, "the trace log.txt is the file log.txt", {}},
    {"{cli} read --port {port} --trace {port} out.dat", 1, "is the port", {}},
    {"cp plan.csv s.ini && {cli} --ini s.ini read --port {port} --trace s.ini out.dat", 1,
     "the trace s.ini is the file s.ini", {{"s.ini", "{plan.csv}"}}},
    {"{cli} write --port {port} --trace {port2} plan.dat", 1, "not a regular file", {}},
    {"{cli} read --port {port} --trace fifo out.dat", 1, "cannot write the trace fifo: not a regular file", {}},
    {"{cli} read --port {port} --trace log.txt out.dat", 0, "backup: ",
     {{"log.txt", "old log\n# read on *"}, {"out.dat", "{read.dat}"}}},
    {"{cli} read --port {port} --trace /dev/fd/3 out.dat 3>/dev/full", 0,
     "the trace /dev/fd/3 stopped (No space left on device): ", {{"out.dat", "{read.dat}"}}},
    {"{cli} read --port {port} - > piped.dat", 0, "read 62 rows", {{"piped.dat", "{read.dat}"}}},
    {"{cli} read --port {port} out.dat > /dev/full", 1, "cannot write to standard output",
     {{"out.dat", "{read.dat}"}}},
    {"{cli} read --port {port} --port {port2} plan.dat", 1,
     "cannot make the folder plan.dat for the radios' files: a file of that name exists", {}},
    // Options end at "--"; text from files and devices is written out.
    {"{cli} dump -- -odd.dat > piped.csv", 0, "", {{"piped.csv", "{plan.csv}"}}},
    {"{cli} import evil.csv plan.dat out.dat", 1, "\"\\x1b]0;owned\\x07\": ", {}},
    {"{cli} ports --sysfs ./sys --dev ./dev --proc proc", 0, "Maker\\x1b[2J Radio Cable (0403:6001)", {}},
};

class HostilePath : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    const std::string d = dir_.Path();
    ASSERT_EQ(mkdir((d + "/io").c_str(), 0700), 0);
    const std::string cli = kBin + "/chanset-cli";
    WriteText(dir_.File("seed.csv"), "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n"
                                     "1,446.00625,446.00625,D023N,88.5,Narrow,No,Carrier,Low\n");
    ASSERT_EQ(Shell(cli + " new plan.dat && " + cli + " import seed.csv plan.dat plan.dat && " + cli +
                    " export plan.dat plan.csv && rm seed.csv && cp plan.dat ./-odd.dat"),
              0);
    WriteText(dir_.File("evil.csv"), "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n1," +
                                         std::string(kEvilCell) + ",,,,,,,\n");
    WriteText(dir_.File("log.txt"), "old log\n");
    WriteText(dir_.File("ro.csv"), "read-only\n");
    ASSERT_EQ(chmod(dir_.File("ro.csv").c_str(), 0444), 0);
    WriteText(dir_.File(".chanset.999999999.out.csv.Ab12Cd"), "left by a killed save");
    WriteText(dir_.File("own-target.csv"), "mine\n");
    ASSERT_EQ(symlink("own-target.csv", dir_.File("own-link").c_str()), 0);
    ASSERT_EQ(mkfifo(dir_.File("fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir_.File("sub").c_str(), 0755), 0);
    sock_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", dir_.File("sock").c_str());
    ASSERT_EQ(bind(sock_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    // A secret of root's, and a link to it planted in a shared folder by another user.
    WriteText(dir_.File("secret.txt"), "secret\n");
    ASSERT_EQ(chmod(dir_.File("secret.txt").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(dir_.File("sticky").c_str(), 0777), 0);
    ASSERT_EQ(chmod(dir_.File("sticky").c_str(), 01777), 0);
    ASSERT_EQ(symlink("../secret.txt", dir_.File("sticky/link").c_str()), 0);
    if (testutil::RunningAsRoot()) {
      ASSERT_EQ(lchown(dir_.File("sticky/link").c_str(), testutil::UnprivilegedUid(), testutil::UnprivilegedGid()), 0);
    }
    // A machine whose USB strings hold escapes, with a pipe where a string should be.
    tree_.AddUsb("ttyUSB0", 1, "0403", "6001", "Maker\x1b[2J", "Radio Cable");
    tree_.AddTerminal("ttyUSB0");
    tree_.AddUsb("ttyUSB1", 2, "0403", "6015", "x", "y");
    tree_.AddTerminal("ttyUSB1");
    const std::string maker = tree_.Sys() + "/devices/pci0/usb2/2-1/manufacturer";
    ASSERT_EQ(unlink(maker.c_str()), 0);
    ASSERT_EQ(mkfifo(maker.c_str(), 0644), 0);
    // What a read of the simulated radio stores: rows 0..61 from it.
    chanset::Image plan{}, read = chanset::NewImage();
    ASSERT_EQ(chanset::LoadDatFile(dir_.File("plan.dat"), plan), chanset::DatError::None);
    std::copy(plan.begin(), plan.begin() + 62 * 16, read.begin());
    ASSERT_EQ(chanset::StoreDatFile(dir_.File("io/read.dat"), read), chanset::DatError::None);
    bytes_ = {{"{plan.csv}", ReadText(dir_.File("plan.csv"))},
              {"{plan.dat}", ReadText(dir_.File("plan.dat"))},
              {"{read.dat}", ReadText(dir_.File("io/read.dat"))}};
  }
  void TearDown() override {
    for (pid_t pid : sims_) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    close(sock_);
  }

  int Shell(const std::string& line) {
    const std::string cmd = "cd '" + dir_.Path() + "' && XDG_DATA_HOME='" + dir_.File("io/data") +
                            "' timeout -s KILL 20 bash -o pipefail -c '" + line + "' >'" + dir_.File("io/out") +
                            "' 2>'" + dir_.File("io/err") + "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Simulator() {
    pid_t pid = -1;
    std::string path = SpawnSimulator(kBin + "/chanset-radio-sim", {"--fast", "--image", dir_.File("plan.dat")}, pid);
    sims_.push_back(pid);
    return path;
  }
  // The regular files of the folder (links and hidden files included).
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    DIR* d = opendir(dir_.Path().c_str());
    while (const dirent* e = readdir(d)) {
      struct stat st;
      const std::string path = dir_.File(e->d_name);
      if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) files[e->d_name] = ReadText(path);
    }
    closedir(d);
    return files;
  }
  std::string Expand(std::string text) const {
    for (const auto& [name, bytes] : bytes_)
      for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, name.size(), bytes);
    return text;
  }

  testutil::TempDir dir_;
  testutil::FakeSerialTree tree_{dir_.Path()};
  std::map<std::string, std::string> bytes_;
  std::vector<pid_t> sims_;
  int sock_ = -1;
};

TEST_P(HostilePath, StatusMessageAndEveryFileAsExpected) {
  const Row& row = GetParam();
  if (row.plantedLink && !testutil::RunningAsRoot()) GTEST_SKIP() << "only root can plant another user's link";
  std::string line = row.shell;
  for (const char* key : {"{port}", "{port2}"}) {
    if (line.find(key) == std::string::npos) continue;
    const std::string port = Simulator();
    for (std::size_t at; (at = line.find(key)) != std::string::npos;) line.replace(at, std::strlen(key), port);
  }
  line.replace(line.find("{cli}"), 5, kBin + "/chanset-cli");

  std::map<std::string, std::string> expected = Files();
  const int status = Shell(line);
  const std::string out = ReadText(dir_.File("io/out")), err = ReadText(dir_.File("io/err"));
  EXPECT_EQ(status, row.status) << err;
  EXPECT_NE((err + out).find(row.message), std::string::npos) << "stderr: " << err << "\nstdout: " << out;
  for (char c : err) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << "raw control in: " << err;

  std::map<std::string, std::string> now = Files();
  for (const auto& [name, bytes] : row.changes) {
    if (!bytes) {
      expected.erase(name);
      continue;
    }
    std::string want = Expand(bytes);
    if (!want.empty() && want.back() == '*') {
      want.pop_back();
      if (now.count(name) && now[name].compare(0, want.size(), want) == 0) want = now[name];
    }
    expected[name] = want;
  }
  EXPECT_EQ(now, expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostilePath, ::testing::ValuesIn(kRows));

}  // namespace
