#pragma once
// What the radio commands add after a transfer: a backup of every completed
// read (and of a write's read-back), and the verdict of `write --verify`.
#include <string>
#include <vector>

#include "data/MemoryImage.h"
#include "link/ReadBack.h"
#include "tools/cli/ConsoleTransfer.h"

namespace chanset {
class CSettingsFile;
}

namespace cli {

// A backup of `image`, read completely from a radio, in the backups folder,
// unless --no-backup: the file written, or the warning (in the --lang
// language) of why none could be. Both are empty when backups are off.
struct BackupNote {
  std::string path;
  std::string warning;
};
BackupNote BackUpRead(const chanset::Image& image, const TransferOptions& options);

// The verdict of a write's read-back: one line, and for a radio that holds
// other data the differences in the format of `diff` (written -> read back).
struct VerifyReport {
  int status = 0;  // 0, kExitNotVerified or kExitVerifyDiffers
  std::string verdict;
  std::vector<std::string> differences;
};
// `path` is the radio's port.
VerifyReport ReportReadBack(const chanset::ReadBackResult& back, const chanset::Image& sent, const std::string& path,
                            bool chinese, const chanset::CSettingsFile* names);

}  // namespace cli
