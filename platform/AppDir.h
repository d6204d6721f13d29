#pragma once
#include <string>

namespace chanset {

// Directory of the running executable, with a trailing '/'. Every loose file
// the program looks for (Chanset.ini, language packs, title.ico,
// background.bmp, help files) sits there.
std::string ApplicationDirectory();

// Overrides the directory (tests use a temporary application directory).
void SetApplicationDirectory(const std::string& dir);

// The user's own folder of the program, "$XDG_CONFIG_HOME/Chanset/" (an
// XDG_CONFIG_HOME that is not an absolute path counts as unset, and then it
// is ~/.config/Chanset/), with a trailing '/'. It may not exist yet.
std::string UserConfigDirectory();

// Creates every missing folder of the absolute path `dir` (mode 0700).
// False when one of them cannot be made.
bool MakeFolders(const std::string& dir);

}  // namespace chanset
