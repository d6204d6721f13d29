#pragma once
// Backups of what was read from the radio: every completed read is also kept
// as a whole .dat file in the backups folder, named by the local time of the
// read, so what was in a radio can always be had back.
//
//   $XDG_DATA_HOME/Chanset/backups/2024-05-01_14-03-09.dat
//   $XDG_DATA_HOME/Chanset/backups/2024-05-01_14-03-09-1.dat   (a second read in that second)
//
// A backup never replaces a file. One that cannot be written is a warning for
// the user, never a failure of the read.
#include <ctime>
#include <string>

#include "data/MemoryImage.h"

namespace chanset {

// $XDG_DATA_HOME/Chanset/backups (default ~/.local/share/Chanset/backups).
std::string BackupFolder();

struct BackupResult {
  std::string path;     // the file written; empty when none was
  std::string warning;  // why not, in the user's language; empty on success
  bool ok() const { return warning.empty(); }
};

// Stores `image` in the backups folder (created with mode 0700 when missing)
// under the local time `when`, adding "-1", "-2", ... when that name is taken.
BackupResult StoreBackup(const Image& image, bool chinese, std::time_t when = std::time(nullptr));

}  // namespace chanset
