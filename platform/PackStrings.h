#pragma once
// The language packs' texts that the core shows by itself, where no pack is
// loaded (the command-line tool): copied from resources/lang/English and
// resources/lang/Chinese when the program is built, so that the window and
// the command line say the same thing. The window reads the same ids from
// the pack it has loaded.
//
// Carried: the transfer messages 61451, 61453, 61454 and strings 62010 to
// 62029 (the port's reasons, a transfer stopped by a signal).
#include <string>
#include <vector>

namespace chanset {

// String `id` in English or Chinese; "" for an id the core does not carry.
const char* PackString(int id, bool chinese);

// `pattern` with %1..%9 replaced by args[0..8], in one pass: a "%2" inside
// an argument stays as it is. A number without an argument stays too.
std::string FillText(const std::string& pattern, const std::vector<std::string>& args);

}  // namespace chanset
