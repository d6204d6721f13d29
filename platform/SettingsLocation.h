#pragma once
// Where the program's settings file, Chanset.ini, is read and written.
//
// A program that may write its own folder (run from the build tree, or
// unpacked into the user's home) keeps Chanset.ini beside itself and reads
// and writes it there. An installed program's folder is read-only to its
// users: it reads the user's copy $XDG_CONFIG_HOME/Chanset/Chanset.ini when
// that exists, else the installed file, and the first change it saves
// creates the user's copy from what it read. The installed file is never
// written by a user who may not write the program's folder.
#include <string>

namespace chanset {

class CSettingsFile;

extern const char kSettingsFileName[];  // "Chanset.ini"

struct SettingsFilePaths {
  std::string read;   // the file to load
  std::string write;  // where saves go: the user's copy while it does not exist yet
};

// The rule above. `appDir` and `userDir` end with '/'.
SettingsFilePaths ChooseSettingsFilePaths(const std::string& appDir, const std::string& userDir,
                                          bool appDirWritable, bool userCopyExists);

// The rule for this process: its application directory, the user's folder
// ConfigHome()/Chanset/ and whether this user may write the former.
SettingsFilePaths ProgramSettingsFilePaths();

// Loads the program's settings into `file` as start-up does (saved when the
// object goes away, names compared without regard to case, no backup), with
// its saves going where the rule says.
bool LoadProgramSettings(CSettingsFile& file);

}  // namespace chanset
