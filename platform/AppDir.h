#pragma once
#include <string>

namespace chanset {

// Directory of the running executable, with a trailing '/'. Every loose file
// the program looks for (Chanset.ini, language packs, title.ico,
// background.bmp, help files) sits there.
std::string ApplicationDirectory();

// Overrides the directory (tests use a temporary application directory).
void SetApplicationDirectory(const std::string& dir);

}  // namespace chanset
