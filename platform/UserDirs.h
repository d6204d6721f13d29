#pragma once
// The per-user folders: configuration ($XDG_CONFIG_HOME, default ~/.config)
// and data ($XDG_DATA_HOME, default ~/.local/share). A variable counts only
// when it holds an absolute path.
#include <string>

namespace chanset {

std::string ConfigHome();
std::string DataHome();
// Where copies are kept: what was read from radios, and a file's old bytes
// before it is rewritten in place. $XDG_DATA_HOME/Chanset/backups (default
// ~/.local/share/Chanset/backups).
std::string BackupsFolder();

// Creates every missing folder of the absolute path `dir` with mode 0700
// (folders that exist keep their mode). On failure returns false and sets
// *error to the system's reason.
bool MakeFolders(const std::string& dir, std::string* error = nullptr);

}  // namespace chanset
