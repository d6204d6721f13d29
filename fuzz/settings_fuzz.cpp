// Fuzz target: the settings-file parser.
//
// The input (after a first byte choosing case-sensitive or not) is written
// to a file and loaded. Every section and key name the text could hold is
// looked up; then a copy of the file is loaded, changed so that Save writes
// it, saved and reloaded: the reloaded file must answer every lookup as the
// first parse did.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz/FuzzTarget.h"
#include "platform/AtomicFile.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

// A private folder for the files, removed at exit. Memory-backed when the
// system has one, as every input is saved with fsync.
class Scratch {
 public:
  Scratch() {
    struct stat st;
    const char* env = std::getenv("TMPDIR");
    std::string base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0
                           ? "/dev/shm"
                           : (env != nullptr && *env != '\0' ? env : "/tmp");
    std::string tmpl = base + "/chanset-fuzz-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    FUZZ_CHECK(mkdtemp(buf.data()) != nullptr);
    dir_ = buf.data();
  }
  ~Scratch() {
    unlink(First().c_str());
    unlink(Second().c_str());
    rmdir(dir_.c_str());
  }
  std::string First() const { return dir_ + "/first.ini"; }
  std::string Second() const { return dir_ + "/second.ini"; }

 private:
  std::string dir_;
};

const char kWhite[] = " \t\r\n\v\f";

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(kWhite);
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(kWhite) - b + 1);
}

// Names worth looking up: every bracketed line and every text before an
// "=", trimmed, plus a few fixed ones. A superset is fine.
void Candidates(const std::string& text, std::vector<std::string>& sections,
                std::vector<std::string>& keys) {
  sections = {"", "Setup", "setup", "English", "Chinese"};
  keys = {"Language", "AppName", "Type1", "Field1", "missing"};
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line) && sections.size() < 40 && keys.size() < 80) {
    std::string t = Trim(line.substr(0, line.find('\0')));
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      sections.push_back(t.substr(1, t.size() - 2));
      continue;
    }
    keys.push_back(Trim(t.substr(0, t.find('='))));
  }
}

struct Answers {
  std::vector<std::string> values;
  std::vector<bool> present;

  bool operator==(const Answers& o) const { return values == o.values && present == o.present; }
};

Answers Ask(const CSettingsFile& file, const std::vector<std::string>& sections,
            const std::vector<std::string>& keys) {
  Answers a;
  for (const std::string& s : sections) {
    a.present.push_back(file.HasSection(s));
    for (const std::string& k : keys) {
      a.values.push_back(file.GetValue(s, k, "\x01missing"));
      a.values.push_back(file.GetRawValue(s, k, "\x01missing"));
    }
  }
  return a;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string kProbe = "\x02\x03\x04";
  static Scratch scratch;
  const bool ignoreCase = (data[0] & 1) == 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  FUZZ_CHECK(WriteBytes(scratch.First(), text));
  FUZZ_CHECK(WriteBytes(scratch.Second(), text));

  if (text.find(kProbe) != std::string::npos) return 0;
  std::vector<std::string> sections, keys;
  Candidates(text, sections, keys);

  CSettingsFile first;
  FUZZ_CHECK(first.LoadPath(scratch.First(), false, ignoreCase, false));
  FUZZ_CHECK(!first.IsChanged());
  const Answers before = Ask(first, sections, keys);
  // Loading alone never writes the file.
  std::string onDisk;
  FUZZ_CHECK(ReadWholeFile(scratch.First(), onDisk));
  FUZZ_CHECK(onDisk == text);

  {
    CSettingsFile second;
    FUZZ_CHECK(second.LoadPath(scratch.Second(), false, ignoreCase, false));
    // A new section at the end makes Save write; no lookup above names it.
    second.AddSection(kProbe);
    FUZZ_CHECK(second.IsChanged());
    FUZZ_CHECK(second.Save(false).empty());
    FUZZ_CHECK(second.LastError().empty());
  }

  CSettingsFile third;
  FUZZ_CHECK(third.LoadPath(scratch.Second(), false, ignoreCase, false));
  const Answers after = Ask(third, sections, keys);
  FUZZ_CHECK(after == before);
  return 0;
}

namespace fuzz {

std::vector<std::string> Seeds() {
  std::string shipped;
  ReadWholeFile(CHANSET_SOURCE_DIR "/resources/Chanset.ini", shipped);
  const std::string tricky =
      "\xEF\xBB\xBF"
      "top=before any header\n"
      "; a comment\n"
      "[Setup]\n"
      "  Language = Chinese // inline\n"
      "Type1=KRR-45\t; note\n"
      "Type1=later wins\n"
      "Field1=400-470MHz|400-430MHz /* old */\n"
      "bare line\n"
      "[ spaced ]\r\n"
      "key\t=\tvalue\r\n"
      "[setup]\n"
      "Language=shadowed\n"
      "[]\n"
      "empty=section\n"
      "*star=comment\n"
      "/slash=comment\n"
      "\\back=comment\n"
      "=no key\n"
      "[Setup]\n"
      "Language=second setup";
  return {std::string(1, '\0') + shipped, "\x01" + shipped, std::string(1, '\0') + tricky, "\x01" + tricky};
}

std::vector<std::string> Tokens() {
  return {"[", "]", "=", "\n", "\r\n", "[Setup]", "Language", "//", "\t;", "/*", ";", "*", "\\",
          std::string(1, '\0'), "\xEF\xBB\xBF", "[]", " ", "\t", "\v"};
}

}  // namespace fuzz
