#include "platform/PackStrings.h"

namespace chanset {

namespace {

struct PackText {
  int id;
  const char* english;
  const char* chinese;
};

// Written by platform/CMakeLists.txt from the packs' strings.json.
const PackText kTexts[] = {
#include "platform/PackStringsTable.inc"
};

}  // namespace

const char* PackString(int id, bool chinese) {
  for (const PackText& t : kTexts)
    if (t.id == id) return chinese ? t.chinese : t.english;
  return "";
}

std::string FillText(const std::string& pattern, const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const std::size_t n = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
      text += args[n];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace chanset
