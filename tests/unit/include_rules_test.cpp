// The include structure of the sources: dependencies point one way. A unit
// is a header and its source file (app/CMainFrame.h and .cpp); no chain of
// project includes leads from a unit back to itself, the subsystems reach
// the main window only through platform/CCommandHost.h (the frame needs nothing
// of the application), and every include points down the floors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// Folders whose sources belong to the program (tests include anything).
const char* const kSourceFolders[] = {"app",      "data",     "dialogs", "editor", "grid",
                                      "link",     "platform", "print",   "settings", "tools"};

struct SourceFile {
  std::string path;                   // relative, "app/CMainFrame.cpp"
  std::vector<std::string> includes;  // project includes as written
};

std::vector<SourceFile> ScanSources(const fs::path& root) {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<SourceFile> files;
  for (const char* folder : kSourceFolders) {
    if (!fs::exists(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      SourceFile file;
      file.path = fs::relative(entry.path(), root).generic_string();
      std::ifstream in(entry.path());
      std::string line;
      std::smatch m;
      while (std::getline(in, line))
        if (std::regex_search(line, m, kInclude)) file.includes.push_back(m[1]);
      files.push_back(std::move(file));
    }
  }
  return files;
}

std::string UnitOf(const std::string& path) { return path.substr(0, path.rfind('.')); }

// The first cycle among the units, as "a -> b -> a"; empty when there is
// none. Only includes of files that exist among the scanned ones count.
std::string FindCycle(const std::vector<SourceFile>& files) {
  std::set<std::string> known;
  for (const SourceFile& f : files) known.insert(f.path);
  std::map<std::string, std::set<std::string>> edges;
  for (const SourceFile& f : files) {
    const std::string from = UnitOf(f.path);
    edges[from];
    for (const std::string& inc : f.includes)
      if (known.count(inc) && UnitOf(inc) != from) edges[from].insert(UnitOf(inc));
  }
  std::map<std::string, int> state;  // 0 new, 1 on the path, 2 done
  std::vector<std::string> path;
  std::string cycle;
  std::function<bool(const std::string&)> visit = [&](const std::string& unit) {
    state[unit] = 1;
    path.push_back(unit);
    for (const std::string& next : edges[unit]) {
      if (state[next] == 1) {
        auto at = std::find(path.begin(), path.end(), next);
        for (; at != path.end(); ++at) cycle += *at + " -> ";
        cycle += next;
        return true;
      }
      if (state[next] == 0 && visit(next)) return true;
    }
    path.pop_back();
    state[unit] = 2;
    return false;
  };
  for (const auto& entry : edges)
    if (state[entry.first] == 0 && visit(entry.first)) return cycle;
  return {};
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Every include of a file under `fromFolder` that `forbidden` matches.
std::vector<std::string> Offences(const std::vector<SourceFile>& files, const std::string& fromFolder,
                                  const std::function<bool(const std::string&)>& forbidden) {
  std::vector<std::string> found;
  for (const SourceFile& f : files)
    if (StartsWith(f.path, fromFolder + "/"))
      for (const std::string& inc : f.includes)
        if (forbidden(inc)) found.push_back(f.path + " includes " + inc);
  return found;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

const std::vector<SourceFile>& Sources() {
  static const std::vector<SourceFile> files = ScanSources(CHANSET_SOURCE_DIR);
  return files;
}

TEST(IncludeRules, TheScanSeesTheProgram) {
  // A scan that found nothing would pass every rule below.
  bool sawFrame = false;
  for (const SourceFile& f : Sources())
    if (f.path == "app/CMainFrame.cpp")
      sawFrame = std::count(f.includes.begin(), f.includes.end(), "app/CMainFrame.h") == 1;
  EXPECT_TRUE(sawFrame);
  EXPECT_GT(Sources().size(), 100u);
}

TEST(IncludeRules, NoUnitReachesItselfThroughIncludes) {
  EXPECT_EQ(FindCycle(Sources()), "");
}

// The frame and the application are included by the start-up code (and the
// close on a signal) only; everything else registers its commands through
// platform/CCommandHost.h.
TEST(IncludeRules, OnlyStartUpIncludesTheFrameAndTheApplication) {
  const std::map<std::string, std::set<std::string>> allowed = {
      {"app/CMainFrame.h", {"app/CMainFrame.cpp", "app/CChansetApp.cpp", "app/main.cpp", "app/CSignalClose.cpp"}},
      {"app/CChansetApp.h", {"app/CChansetApp.cpp", "app/main.cpp"}},
  };
  std::vector<std::string> found;
  for (const SourceFile& f : Sources())
    for (const std::string& inc : f.includes) {
      auto rule = allowed.find(inc);
      if (rule != allowed.end() && !rule->second.count(f.path)) found.push_back(f.path + " includes " + inc);
    }
  EXPECT_TRUE(found.empty()) << Joined(found);
}

// The floors of the program, lowest first: a folder includes its own floor
// and the ones below, never one above. The base services (settings and the
// platform) share the lowest floor; the tools sit beside the application.
int FloorOf(const std::string& path) {
  static const std::map<std::string, int> kFloors = {
      {"settings", 0}, {"platform", 0}, {"data", 1},  {"grid", 2},  {"editor", 3},
      {"dialogs", 4},  {"link", 4},     {"print", 5}, {"app", 6},   {"tools", 6}};
  auto it = kFloors.find(path.substr(0, path.find('/')));
  return it == kFloors.end() ? -1 : it->second;
}

TEST(IncludeRules, EveryIncludePointsDownTheFloors) {
  std::vector<std::string> found;
  for (const SourceFile& f : Sources())
    for (const std::string& inc : f.includes)
      if (FloorOf(inc) > FloorOf(f.path)) found.push_back(f.path + " includes " + inc);
  EXPECT_TRUE(found.empty()) << Joined(found);
}

// The checker itself, on a small tree: it must see a cycle that runs
// through a source file, and accept the same tree without it.
TEST(IncludeRules, CheckerFindsACycleThroughASourceFile) {
  testutil::TempDir dir;
  const fs::path root = dir.Path();
  auto write = [&](const std::string& rel, const std::string& text) {
    fs::create_directories((root / rel).parent_path());
    std::ofstream(root / rel) << text;
  };
  write("data/Doc.h", "#pragma once\n#include <vector>\n");
  write("data/Doc.cpp", "#include \"data/Doc.h\"\n  #  include \"editor/View.h\"\n");
  write("editor/View.h", "#pragma once\n#include \"data/Doc.h\"\n");
  write("editor/View.cpp", "#include \"editor/View.h\"\n#include \"missing/Nowhere.h\"\n");
  EXPECT_EQ(FindCycle(ScanSources(root)), "data/Doc -> editor/View -> data/Doc");
  EXPECT_EQ(Offences(ScanSources(root), "data",
                     [](const std::string& inc) { return StartsWith(inc, "editor/"); }),
            std::vector<std::string>{"data/Doc.cpp includes editor/View.h"});

  write("data/Doc.cpp", "#include \"data/Doc.h\"\n");
  EXPECT_EQ(FindCycle(ScanSources(root)), "");
}

}  // namespace
