#pragma once
// Text that did not come from Chanset itself (file contents, names read from
// files, process names, device strings, paths), made safe to print on a
// terminal: a control character would otherwise retitle, clear or rewrite
// the user's terminal, or split one message into several lines.
#include <string>

namespace chanset {

// `text` with every control character written out: "\n", "\r", "\t", "\0"
// and "\x1b"-style escapes for the others (C0, DEL and the C1 range); a byte
// that is not part of valid UTF-8 is written "\xNN". Printable text, Chinese
// included, is unchanged.
std::string TerminalText(const std::string& text);

}  // namespace chanset
