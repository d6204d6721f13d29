#pragma once
// Every list of refusals or differences that a person reads (a message box,
// the import preview, the terminal) shows at most kListLines lines, then one
// line saying how many more there are, so that a file of a million bad rows
// gives a message that fits on the screen and a terminal that stays usable.
#include <cstddef>
#include <string>
#include <vector>

namespace chanset {

inline constexpr std::size_t kListLines = 20;

// "…and 5 more", or the Chinese form.
std::string MoreLinesText(std::size_t more, bool chinese);

// The first kListLines of `lines` and, when `total` (the length of the whole
// list, of which `lines` is the start) is larger than what is shown, the
// line that counts the rest.
std::vector<std::string> CappedLines(std::vector<std::string> lines, std::size_t total, bool chinese);

}  // namespace chanset
