#pragma once
// Where the program's settings file, Chanset.ini, is read and written, and
// where the site's own files are.
//
// A program whose Chanset.ini beside it is its own (a file, not a link, in a
// folder its user may write: the build tree, or a copy unpacked into the
// user's home) reads and writes it there. Otherwise the file beside the
// program is the site's: an installed program's Chanset.ini is a link to
// the administrator's file (/etc/chanset/Chanset.ini), edited by hand only.
// The program then reads the user's copy $XDG_CONFIG_HOME/Chanset/Chanset.ini
// when that exists, else the site's file, and the first change it saves
// creates the user's copy from what it read; for root as for every user.
#include <string>
#include <vector>

namespace chanset {

class CSettingsFile;

extern const char kSettingsFileName[];  // "Chanset.ini"

struct SettingsFilePaths {
  std::string read;   // the file to load
  std::string write;  // where saves go: the user's copy while it does not exist yet
};

// The rule above. `appDir` and `userDir` end with '/'; `ownsBesideFile`:
// the file beside the program is its own to write.
SettingsFilePaths ChooseSettingsFilePaths(const std::string& appDir, const std::string& userDir,
                                          bool ownsBesideFile, bool userCopyExists);

// The rule for this process: its application directory, the user's folder
// ConfigHome()/Chanset/, and whether the Chanset.ini beside the program is
// no link and this user may write its folder.
SettingsFilePaths ProgramSettingsFilePaths();

// The folder of the site's own files, ending with '/': the folder that
// really holds the Chanset.ini beside the program (through its link); the
// application directory when that file is no link or is missing.
std::string SiteFolder();

// The workspace background pictures in the order they are tried: the
// user's ConfigHome()/Chanset/background.bmp, the site's, the shipped one
// beside the program. An upgrade replaces only the last.
std::vector<std::string> BackgroundPictureFiles();

// Loads the program's settings into `file` as start-up does (saved when the
// object goes away, names compared without regard to case, no backup), with
// its saves going where the rule says.
bool LoadProgramSettings(CSettingsFile& file);

}  // namespace chanset
