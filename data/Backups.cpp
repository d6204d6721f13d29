#include "data/Backups.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"
#include "platform/UserDirs.h"

namespace chanset {

namespace {

// Enough for any number of reads within one second.
constexpr int kMaxSuffix = 999;

std::string Warning(bool chinese, const std::string& folder, const std::string& reason) {
  if (chinese) return "无法在 " + folder + " 保存读出数据的备份：" + reason;
  return "Could not store a backup of the data read in " + folder + ": " + reason;
}

// "YYYY-MM-DD_HH-MM-SS" of the local time `when`.
std::string TimeStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d_%H-%M-%S", &local);
  return buf;
}

}  // namespace

std::string BackupFolder() { return BackupsFolder(); }

BackupResult StoreBackup(const Image& image, bool chinese, std::time_t when) {
  BackupResult result;
  const std::string folder = BackupFolder();
  std::string reason;
  if (!MakeFolders(folder, &reason)) {
    result.warning = Warning(chinese, folder, reason);
    return result;
  }
  std::ostringstream dat;
  StoreDat(dat, image);
  const std::string stamp = folder + "/" + TimeStamp(when);

  for (int n = 0; n <= kMaxSuffix; ++n) {
    std::string path = stamp + (n == 0 ? "" : "-" + std::to_string(n)) + ".dat";
    // A name that exists is never written over, not even by a race, and a
    // backup appears whole or not at all.
    if (CreateWholeFile(path, dat.str(), 0600, &reason)) {
      result.path = path;
      return result;
    }
    if (errno == EEXIST) continue;
    result.warning = Warning(chinese, folder, reason);
    return result;
  }
  result.warning = Warning(chinese, folder, std::strerror(EEXIST));
  return result;
}

}  // namespace chanset
