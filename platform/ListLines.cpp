#include "platform/ListLines.h"

namespace chanset {

std::string MoreLinesText(std::size_t more, bool chinese) {
  const std::string n = std::to_string(more);
  return chinese ? "……另有" + n + "条" : "…and " + n + " more";
}

std::vector<std::string> CappedLines(std::vector<std::string> lines, std::size_t total, bool chinese) {
  if (lines.size() > kListLines) lines.resize(kListLines);
  if (total > lines.size()) lines.push_back(MoreLinesText(total - lines.size(), chinese));
  return lines;
}

}  // namespace chanset
