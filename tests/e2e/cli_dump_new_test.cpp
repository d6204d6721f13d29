// Runs the built chanset-cli: new, dump, and the file errors.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

struct Result {
  int exitCode;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/chanset-cli-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
    m_io = m_dir + ".io";
    ASSERT_EQ(mkdir(m_io.c_str(), 0700), 0);
  }
  void TearDown() override {
    std::system(("rm -rf '" + m_dir + "' '" + m_io + "'").c_str());
  }

  // Runs chanset-cli in the work folder; stdout and stderr go to a separate
  // folder so that the work folder shows exactly what the program wrote.
  Result Run(const std::string& args) {
    const std::string cmd = "cd '" + m_dir + "' && '" CHANSET_APP_DIR "/chanset-cli' " + args +
                            " >'" + m_io + "/out' 2>'" + m_io + "/err'";
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_io + "/out"), ReadFile(m_io + "/err")};
  }

  std::set<std::string> Listing() const {
    std::set<std::string> names;
    if (DIR* d = opendir(m_dir.c_str())) {
      while (dirent* e = readdir(d)) names.insert(e->d_name);
      closedir(d);
    }
    return names;
  }

  std::string Path(const std::string& name) const { return m_dir + "/" + name; }

  std::string m_dir;
  std::string m_io;
};

const char kHeaderEn[] = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n";
const char kHeaderZh[] = "信道,接收频率,发射频率,QT/DQT解码,QT/DQT编码,宽/窄,扫描,繁忙锁定,功率\n";

std::string EmptyRows() {
  std::string rows;
  for (int n = 1; n <= 16; ++n) rows += std::to_string(n) + ",,,,,,,,\n";
  return rows;
}

TEST_F(CliTest, NewThenDumpShowsSixteenEmptyChannels) {
  Result made = Run("new a.dat");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.out, "");
  const std::string file = ReadFile(Path("a.dat"));
  ASSERT_EQ(file.size(), 1040u);
  EXPECT_EQ(file.substr(0, 16), std::string("S333") + std::string(12, '\0'));
  EXPECT_EQ(file[16 + 0x1B8], 0x50);
  EXPECT_EQ(file.substr(16 + 0x32E, 2), std::string(2, '\0'));  // type 0, band 0

  Result en = Run("dump a.dat");
  EXPECT_EQ(en.exitCode, 0) << en.err;
  EXPECT_EQ(en.out, kHeaderEn + EmptyRows());
  Result zh = Run("--ini nowhere.ini dump a.dat --lang zh");
  EXPECT_EQ(zh.exitCode, 0) << zh.err;
  EXPECT_EQ(zh.out, kHeaderZh + EmptyRows());
  EXPECT_EQ(Listing(), (std::set<std::string>{".", "..", "a.dat"}));
}

TEST_F(CliTest, DumpShowsChannelTexts) {
  ASSERT_EQ(Run("new a.dat").exitCode, 0);
  std::string file = ReadFile(Path("a.dat"));
  const unsigned char ch2[14] = {0x25, 0x06, 0x60, 0x44, 0x50, 0x12, 0x60, 0x13,
                                 0x75, 0x03, 0xEC, 0xA9, 0x08, 0x40};
  for (int i = 0; i < 14; ++i) file[16 + 32 + i] = static_cast<char>(ch2[i]);
  file[16 + 0x17E] = 0x01;  // only channel 1 scanned
  WriteFile(Path("a.dat"), file);
  Result r = Run("dump a.dat");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);
  std::getline(lines, line);
  EXPECT_EQ(line, "2,446.00625,136.01250,88.5,D754I,Narrow,No,Carrier,Middle");
  r = Run("dump a.dat --lang zh");
  EXPECT_NE(r.out.find("\n2,446.00625,136.01250,88.5,D754I,窄,否,载波,中\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, BadFilesFailWithMessageAndWriteNothing) {
  ASSERT_EQ(Run("new good.dat").exitCode, 0);
  const std::string good = ReadFile(Path("good.dat"));
  std::string wrongMagic = good;
  wrongMagic[3] = '4';
  WriteFile(Path("magic.dat"), wrongMagic);
  WriteFile(Path("short.dat"), good.substr(0, 1039));
  mkdir(Path("folder").c_str(), 0700);
  ASSERT_EQ(mkfifo(Path("pipe.dat").c_str(), 0600), 0);  // nothing ever writes into it
  const std::set<std::string> before = Listing();

  struct Case {
    const char* args;
    const char* message;
  } cases[] = {
      {"dump magic.dat", "magic.dat: Data Format Error"},
      {"dump short.dat", "short.dat: Data Format Error"},
      {"dump short.dat --lang zh", "short.dat: 数据格式不正确"},
      {"dump missing.dat", "missing.dat: No such file or directory"},
      {"dump folder", "cannot read folder: not a regular file"},
      // A pipe is read as a stream, as cat would (see cli_hostile_paths_test); a
      // device is never read.
      {"dump /dev/null", "cannot read /dev/null: not a regular file"},
      {"dump /dev/zero", "cannot read /dev/zero: not a regular file"},
      {"new pipe.dat", "pipe.dat: not a regular file"},
      {"dump good.dat --lang fr", "--lang"},
      {"dump", "usage"},
      {"new", "usage"},
      {"new folder", "folder: Is a directory"},
      {"new sub/x.dat", "sub/x.dat: No such file or directory"},
  };
  for (const Case& c : cases) {
    Result r = Run(c.args);
    EXPECT_NE(r.exitCode, 0) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(Listing(), before) << c.args;
  }
  EXPECT_EQ(ReadFile(Path("magic.dat")), wrongMagic);
  EXPECT_EQ(ReadFile(Path("short.dat")), good.substr(0, 1039));
}

}  // namespace
