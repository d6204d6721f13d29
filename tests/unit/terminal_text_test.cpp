// Text from outside printed on a terminal: every control character written
// out, everything printable (Chinese included) kept.
#include <gtest/gtest.h>

#include "platform/TerminalText.h"

namespace {

TEST(TerminalText, ControlsAreWrittenOutAndTextIsKept) {
  const std::pair<std::string, std::string> rows[] = {
      {"plan.dat", "plan.dat"},
      {"信道 1", "信道 1"},
      {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
      {"a\nb\r\tc", "a\\nb\\r\\tc"},
      {std::string("nul\0end", 7), "nul\\0end"},
      {"del\x7f", "del\\x7f"},
      {"csi\xc2\x9b" "2J", "csi\\u009b2J"},  // the one-character CSI of the C1 range
      {"bad\xff\xc3", "bad\\xff\\xc3"},       // not UTF-8
      {"\xe0\x80\xaf", "\\xe0\\x80\\xaf"},    // an overlong '/'
  };
  for (const auto& [text, shown] : rows) EXPECT_EQ(chanset::TerminalText(text), shown) << shown;
}

}  // namespace
