// `cmake --install` into a temporary DESTDIR: the files it lays out, the
// installed programs started through their links in bin/, and the desktop
// files checked by their validators.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "InstallSupport.h"
#include "platform/Version.h"

using installtest::InstalledTree;
using installtest::Outcome;
using installtest::RunProgram;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

std::unique_ptr<InstalledTree> g_tree;

class InstallTree : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_tree = std::make_unique<InstalledTree>();
    std::string log;
    if (!g_tree->Install(log)) FAIL() << log;
  }
  static void TearDownTestSuite() { g_tree.reset(); }
  static std::string P(const std::string& relative) { return g_tree->Path(relative); }

  // Environment of an installed program started by a user without a
  // display: its own home and configuration folder.
  std::vector<std::string> UserEnv() const {
    return {"HOME=" + home_.Path(), "XDG_CONFIG_HOME=" + home_.File("config"), "QT_QPA_PLATFORM=offscreen"};
  }
  TempDir home_, work_;
};

enum class Kind { Program, File, Link };

struct Entry {
  std::string path;    // under the prefix
  Kind kind;
  std::string target;  // Link: the file under the prefix it must lead to
};

std::vector<Entry> ExpectedEntries() {
  std::vector<Entry> e = {
      {"lib/chanset/Chanset", Kind::Program, ""},
      {"lib/chanset/chanset-cli", Kind::Program, ""},
      {"lib/chanset/chanset-radio-sim", Kind::Program, ""},
      {"lib/chanset/Chanset.ini", Kind::Link, "etc/chanset/Chanset.ini"},
      {"bin/chanset", Kind::Link, "lib/chanset/Chanset"},
      {"bin/chanset-cli", Kind::Link, "lib/chanset/chanset-cli"},
      {"bin/chanset-radio-sim", Kind::Link, "lib/chanset/chanset-radio-sim"},
      {"share/applications/chanset.desktop", Kind::File, ""},
      {"share/metainfo/org.chanset.Chanset.metainfo.xml", Kind::File, ""},
      {"share/mime/packages/chanset.xml", Kind::File, ""},
      {"share/icons/hicolor/scalable/apps/chanset.svg", Kind::File, ""},
      {"share/icons/hicolor/scalable/mimetypes/application-x-chanset-configuration.svg", Kind::File, ""},
      {"share/man/man1/chanset.1.gz", Kind::File, ""},
      {"share/man/man1/chanset-cli.1.gz", Kind::File, ""},
      {"share/man/man1/chanset-radio-sim.1.gz", Kind::File, ""},
      {"share/doc/chanset/README.md.gz", Kind::File, ""},
      {"share/doc/chanset/copyright", Kind::File, ""},
      {"share/doc/chanset/changelog.gz", Kind::File, ""},
      {"share/doc/chanset/changelog.Debian.gz", Kind::File, ""},
  };
  // The files the programs read are the same on every architecture: they
  // sit in share/chanset/, each reached through a link beside the programs.
  for (const char* name : {"English.rcc", "Chinese.rcc", "enHelp.qch", "chHelp.qch", "title.ico", "background.bmp"}) {
    e.push_back({std::string("share/chanset/") + name, Kind::File, ""});
    e.push_back({std::string("lib/chanset/") + name, Kind::Link, std::string("share/chanset/") + name});
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string dir = "share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size);
    e.push_back({dir + "/apps/chanset.png", Kind::File, ""});
    e.push_back({dir + "/mimetypes/application-x-chanset-configuration.png", Kind::File, ""});
  }
  return e;
}

TEST_F(InstallTree, LaysOutEveryFile) {
  for (const Entry& e : ExpectedEntries()) {
    SCOPED_TRACE(e.path);
    struct stat st;
    ASSERT_EQ(lstat(P(e.path).c_str(), &st), 0);
    if (e.kind == Kind::Link) {
      ASSERT_TRUE(S_ISLNK(st.st_mode));
      // Relative, so the tree works wherever it lies.
      char to[PATH_MAX] = {};
      ASSERT_GT(readlink(P(e.path).c_str(), to, sizeof to - 1), 0);
      EXPECT_NE(to[0], '/') << to;
      char resolved[PATH_MAX], expected[PATH_MAX];
      ASSERT_NE(realpath(P(e.path).c_str(), resolved), nullptr) << "dangling link";
      ASSERT_NE(realpath(P(e.target).c_str(), expected), nullptr);
      EXPECT_STREQ(resolved, expected);
    } else {
      EXPECT_TRUE(S_ISREG(st.st_mode));
      EXPECT_GT(st.st_size, 0);
      EXPECT_EQ((st.st_mode & 0111) != 0, e.kind == Kind::Program);
    }
  }
  // The site's settings are the shipped ones.
  EXPECT_EQ(ReadText(P("etc/chanset/Chanset.ini")), ReadText(CHANSET_SOURCE_DIR "/resources/Chanset.ini"));
}

TEST_F(InstallTree, ProgramsNameTheirVersionThroughTheirLinks) {
  for (const char* name : {"chanset", "chanset-cli", "chanset-radio-sim"}) {
    Outcome o = RunProgram({P(std::string("bin/") + name), "--version"}, UserEnv());
    EXPECT_EQ(o.status, 0) << name << ": " << o.err;
    const std::string shown = std::string(name) == "chanset" ? "Chanset" : name;
    EXPECT_EQ(o.out, shown + " " + chanset::kVersion + "\n");
  }
}

TEST_F(InstallTree, CliFindsTheInstalledSettings) {
  // import-csv needs the radio types and bands of Chanset.ini: found through
  // the link bin/chanset-cli -> lib/chanset/, then Chanset.ini -> etc/.
  const std::string dat = work_.File("x.dat"), csv = work_.File("x.csv"), out = work_.File("y.dat");
  Outcome made = RunProgram({P("bin/chanset-cli"), "new", dat}, UserEnv());
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(ReadText(dat).substr(0, 4), "S333");
  Outcome dumped = RunProgram({P("bin/chanset-cli"), "dump", dat}, UserEnv());
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  WriteText(csv, dumped.out);
  Outcome imported = RunProgram({P("bin/chanset-cli"), "import-csv", csv, dat, out}, UserEnv());
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(ReadText(out), ReadText(dat));
}

TEST_F(InstallTree, ChansetStartsOffscreenWithItsFiles) {
  const std::string dat = work_.File("x.dat"), pdf = work_.File("x.pdf"), png = work_.File("x.png");
  ASSERT_EQ(RunProgram({P("bin/chanset-cli"), "new", dat}).status, 0);
  // Printing needs the language pack, the settings and the report fonts.
  Outcome printed = RunProgram({P("bin/chanset"), "--print-pdf", dat, pdf}, UserEnv());
  EXPECT_EQ(printed.status, 0) << printed.err;
  EXPECT_EQ(ReadText(pdf).substr(0, 5), "%PDF-");
  // The main window comes up (a missing pack would end start-up instead).
  Outcome shown = RunProgram({P("bin/chanset"), "--screenshot", png, dat}, UserEnv());
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(ReadText(png).substr(1, 3), "PNG");
  // Starting the program wrote nothing of the user's.
  struct stat st;
  EXPECT_NE(stat(home_.File("config/Chanset/Chanset.ini").c_str(), &st), 0);
}

// The value of `key` in the [Desktop Entry] group.
std::string DesktopValue(const std::string& text, const std::string& key) {
  std::size_t at = text.find("\n" + key + "=");
  if (at == std::string::npos) return std::string();
  at += key.size() + 2;
  return text.substr(at, text.find('\n', at) - at);
}

TEST_F(InstallTree, DesktopFilesPassTheirValidators) {
  const std::string desktop = P("share/applications/chanset.desktop");
  Outcome entry = RunProgram({"desktop-file-validate", desktop});
  EXPECT_EQ(entry.status, 0) << entry.out << entry.err;
  EXPECT_EQ(entry.out.find("error"), std::string::npos) << entry.out;
  Outcome meta = RunProgram({"appstreamcli", "validate", "--no-net", P("share/metainfo/org.chanset.Chanset.metainfo.xml")});
  EXPECT_EQ(meta.status, 0) << meta.out << meta.err;

  // The entry starts an installed command on the file it is given, with an
  // installed icon, for the type the MIME file defines.
  const std::string text = ReadText(desktop);
  EXPECT_EQ(DesktopValue(text, "Exec"), "chanset %f");
  EXPECT_EQ(access(P("bin/chanset").c_str(), X_OK), 0);
  EXPECT_EQ(access(P("share/icons/hicolor/48x48/apps/" + DesktopValue(text, "Icon") + ".png").c_str(), R_OK), 0);
  const std::string type = DesktopValue(text, "MimeType");
  ASSERT_EQ(type.back(), ';');
  EXPECT_NE(ReadText(P("share/mime/packages/chanset.xml")).find("type=\"" + type.substr(0, type.size() - 1) + "\""),
            std::string::npos);
}

// What a program's --help names: every option (a word that starts with "-",
// and the "/p"-style switches that start the lines of its option list) and
// every exit status (the numbers that start the lines under "Exit status:").
struct HelpNames {
  std::set<std::string> options, statuses;
};

HelpNames NamesInHelp(const std::string& help) {
  HelpNames names;
  static const std::regex option(R"((?:^|[\s\[|,(])(--?[A-Za-z][A-Za-z0-9-]*))");
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it)
    names.options.insert((*it)[1]);
  std::istringstream lines(help);
  std::string line, block;
  static const std::regex entry(R"(^ +(/[A-Za-z]+|[0-9]+) )");
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] != ' ') block = line;
    std::smatch m;
    if (!std::regex_search(line, m, entry)) continue;
    if (block == "Options:") names.options.insert(m[1]);
    if (block == "Exit status:") names.statuses.insert(m[1]);
  }
  return names;
}

// The lines of one section of a formatted page, up to the next heading.
std::string Section(const std::string& page, const std::string& heading) {
  std::size_t at = page.find("\n" + heading + "\n");
  if (at == std::string::npos) return std::string();
  at += heading.size() + 2;
  std::size_t end = at;
  while ((end = page.find('\n', end)) != std::string::npos && end + 1 < page.size() &&
         (page[end + 1] == ' ' || page[end + 1] == '\n'))
    ++end;
  return page.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

TEST_F(InstallTree, ManualPagesFormatCleanlyAndHoldEverythingHelpSays) {
  struct Page {
    const char* name;
    bool serial;  // talks about serial ports
  };
  for (const Page& page : {Page{"chanset", true}, Page{"chanset-cli", true}, Page{"chanset-radio-sim", false}}) {
    SCOPED_TRACE(page.name);
    const std::string file = P(std::string("share/man/man1/") + page.name + ".1.gz");
    // As the Debian package checker formats them: every groff warning shows.
    Outcome o = RunProgram({"man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", file}, {"LC_ALL=C.UTF-8", "MANWIDTH=80"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    Outcome text = RunProgram({"man", "--nh", "--nj", "-l", file},
                              {"LC_ALL=C.UTF-8", "MANWIDTH=250", "MANPAGER=cat", "PAGER=cat"});
    for (const char* word : {"dialout", "ModemManager", "ID_MM_DEVICE_IGNORE"})
      EXPECT_EQ(text.out.find(word) != std::string::npos, page.serial) << word;
    // The pages name the installed paths, not the build's, and no path is left unnamed.
    EXPECT_EQ(text.out.find(CHANSET_BINARY_DIR), std::string::npos);
    EXPECT_EQ(text.out.find('@'), std::string::npos);

    Outcome help = RunProgram({P(std::string("bin/") + page.name), "--help"}, UserEnv());
    ASSERT_EQ(help.status, 0) << help.err;
    const HelpNames names = NamesInHelp(help.out);
    EXPECT_GE(names.options.size(), 3u);
    for (const std::string& option : names.options) EXPECT_NE(text.out.find(option), std::string::npos) << option;
    ASSERT_GE(names.statuses.size(), 3u);
    const std::string statuses = Section(text.out, "EXIT STATUS");
    for (const std::string& status : names.statuses)
      EXPECT_TRUE(std::regex_search(statuses, std::regex("(^|\n) +" + status + " "))) << status << "\n" << statuses;
  }
  Outcome text = RunProgram({"man", "-l", P("share/man/man1/chanset.1.gz")}, {"MANPAGER=cat", "PAGER=cat", "MANWIDTH=200"});
  const std::string files = Section(text.out, "FILES");
  for (const char* path : {"/usr/local/etc/chanset/Chanset.ini", "/usr/local/lib/chanset/", "/usr/local/share/chanset/",
                           "/usr/local/etc/chanset/background.bmp", "$XDG_CONFIG_HOME/Chanset/Chanset.ini",
                           "$XDG_CONFIG_HOME/Chanset/background.bmp", "$XDG_DATA_HOME/Chanset/backups/"})
    EXPECT_NE(files.find(path), std::string::npos) << path << "\n" << files;
}

struct Sample {
  const char* name;
  std::string bytes;
  bool ours;
};

TEST_F(InstallTree, FileTypeIsKnownByItsFirstBytesOnly) {
  // The installed MIME file in a database of its own.
  TempDir data;
  const std::string mime = data.File("mime");
  ASSERT_EQ(mkdir(mime.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((mime + "/packages").c_str(), 0755), 0);
  WriteText(mime + "/packages/chanset.xml", ReadText(P("share/mime/packages/chanset.xml")));
  Outcome update = RunProgram({"update-mime-database", mime});
  ASSERT_EQ(update.status, 0) << update.err;

  std::string configuration = "S333" + std::string(12, '\0') + std::string(1024, '\xFF');
  std::string other(1040, '\0');
  for (std::size_t i = 0; i < other.size(); ++i) other[i] = static_cast<char>(i * 37 + 11);
  const std::vector<Sample> samples = {
      {"radio.dat", configuration, true},
      {"radio-without-extension", configuration, true},
      {"game.dat", other, false},
      {"notes.dat", "line one\nline two\n", false},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.name);
    WriteText(work_.File(s.name), s.bytes);
    Outcome o = RunProgram({"gio", "info", "-a", "standard::content-type", work_.File(s.name)},
                    {"XDG_DATA_DIRS=" + data.Path() + ":/usr/share", "XDG_DATA_HOME=" + data.File("none")});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.find("application/x-chanset-configuration") != std::string::npos, s.ours) << o.out;
  }
}

}  // namespace
