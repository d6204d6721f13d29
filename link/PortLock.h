#pragma once
// Keeping a serial port to this program while it uses it, by the
// conventions other programs follow:
//
//   - the lock file that terminal programs honour: LCK..<name> in /run/lock
//     (in /var/lock where there is no /run/lock), holding the owner's
//     process id as ten characters, right-aligned, and a newline:
//
//         /run/lock/LCK..ttyUSB0      "      4242\n"
//
//     A lock file whose process is gone is removed. While this program holds
//     the port it writes its own the same way, and removes it when it lets
//     go. A folder where no lock file can be written is no reason to refuse
//     the port: the port is used without one, and the notes say so.
//   - a look through /proc for another process that has the device open:
//     programs that lock nothing (`cat /dev/ttyUSB0`) are found that way.
//
// The lock folders and the /proc root are parameters, so tests and the
// benchmark describe a machine with fake ones.
#include <string>
#include <vector>

#include "link/Port.h"

namespace chanset {

struct LockPlaces {
  // The lock files live in the first of these that is a folder (none: no
  // lock files at all).
  std::vector<std::string> lockDirs{"/run/lock", "/var/lock"};
  // The /proc tree searched for other holders and their names ("": no search).
  std::string proc = "/proc";
};

// The real places, the lock folder replaced by $CHANSET_LOCK_DIR and the
// /proc root by $CHANSET_PROC_ROOT when set.
LockPlaces LockPlacesFromEnvironment();

// The lock file's name for a device: its path below /dev with '/' turned
// into '_' ("LCK..ttyUSB0", "LCK..pts_3"); the last part of any other path.
std::string LockFileName(const std::string& devicePath);

// The processes other than this one that have `devicePath` open (symbolic
// links resolved), in process-id order.
std::vector<PortHolder> FindPortHolders(const std::string& procRoot, const std::string& devicePath);

// The lock file of one device, held from Lock() until Unlock() or the end
// of the object.
class PortLock {
 public:
  explicit PortLock(LockPlaces places = LockPlacesFromEnvironment()) : places_(std::move(places)) {}
  ~PortLock() { Unlock(); }
  PortLock(const PortLock&) = delete;
  PortLock& operator=(const PortLock&) = delete;

  // Takes the lock file of `device` (its real path). False when a live
  // process holds it: `error` is EBUSY and names that process and the file.
  bool Lock(const std::string& device, SystemError& error);
  // Removes this program's lock file, as long as it still holds our id.
  void Unlock();
  // What the last Lock() did with the lock files, one line each: the file
  // taken, a stale one removed, or why none could be written.
  const std::vector<std::string>& Notes() const { return notes_; }

  // Whether a live process other than this one holds the lock file of
  // `device`, without taking it: false with `error` as Lock() gives it.
  static bool Free(const LockPlaces& places, const std::string& device, SystemError& error);
  // Whether any other process has `device` open: false with `error` EBUSY
  // naming the first one.
  static bool NobodyElseHas(const LockPlaces& places, const std::string& device, SystemError& error);

 private:
  LockPlaces places_;
  std::string held_;  // the lock file this object wrote, "" when none
  std::vector<std::string> notes_;
};

}  // namespace chanset
