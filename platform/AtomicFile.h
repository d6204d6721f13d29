#pragma once
// The one writer of every file Chanset stores: documents, Chanset.ini, the
// user registry, CSV exports, read backups, PDF reports, chanset-cli and
// simulator outputs, and (through AppendFile) traces and logs.
//
// WriteFileAtomic replaces the contents of the file at `path` with `bytes`
// and keeps what belongs to the file itself:
//  - A stream name (/dev/stdout, /dev/fd/N, ...; see PathRules.h) is
//    written through its open descriptor, from where it stands: never
//    resolved, replaced or truncated.
//  - Symbolic links are followed by the kernel's rule (PathRules.h); a
//    link stays a link and the file it leads to is written, its temporary
//    file made beside that file.
//  - A file the user may not write fails with the system's reason (EACCES:
//    "Permission denied") and is left untouched; so does a file that nobody
//    may write (mode 0444), even for root. A folder, a device, a pipe or a
//    socket is refused at once, without opening it for writing, and
//    *notRegular is set.
//  - Normally the bytes go to a temporary file in the same folder, which is
//    flushed to disk and renamed over the file, so the file is always either
//    wholly old or wholly new. The new file gets the old one's permission
//    bits, owner and group; a new file gets 0666 less the umask.
//  - Temporary files are named ".chanset.<pid>.<name>.XXXXXX". One left by
//    a process that no longer runs (a save that was killed) is removed by
//    the next save to the same file.
//  - When the folder takes no new file, or the owner or group could not be
//    kept, the file is rewritten in place. Its old bytes are first stored
//    in the backups folder as "<stem>.old-<YYYY-MM-DD_HH-MM-SS><ext>"
//    (InPlaceCopyName); when that copy cannot be made nothing is written. A
//    write that fails puts the old bytes back and removes the copy; so does
//    a rewrite that succeeds. Only a kill or a crash in the middle leaves
//    the copy, and then it holds the file as it was.
// On failure returns false and sets *error to the reason.
#include <cstddef>
#include <ctime>
#include <string>

#include "platform/FileInput.h"
#include "platform/PathRules.h"

namespace chanset {

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr,
                     bool* notRegular = nullptr);

// Makes the new file `path` holding `bytes` with permission bits `mode`,
// never replacing anything: an existing name fails with errno EEXIST ("File
// exists"). The file appears whole or not at all.
bool CreateWholeFile(const std::string& path, const std::string& bytes, unsigned mode, std::string* error = nullptr);

// Whether WriteFileAtomic could store `path` now: a stream must be open, an
// existing file must be a regular file the user may write, a new one needs
// a writable folder. Checked before slow work whose result would otherwise
// be lost.
bool CanWriteFile(const std::string& path, std::string* error = nullptr);

// The name the copy of `path` made before an in-place rewrite at `when`
// gets in the backups folder: "plan.dat" -> "plan.old-2024-05-01_14-03-09.dat".
std::string InPlaceCopyName(const std::string& path, std::time_t when);

// Writes all of `bytes` to `fd` from offset 0, retrying interrupted writes,
// cuts the file after them and flushes it to the disk. On failure returns
// false with errno set.
bool WriteDescriptor(int fd, const std::string& bytes);

// For tests: called with the name of each step of a save as it is reached
// ("temporary", "written", "renamed"; in place: "copied", "overwritten",
// "cut"), so a test can end the process there and look at what is left.
using SaveStepHook = void (*)(const char* step);
void SetSaveStepHook(SaveStepHook hook);

// A log that only grows: traces and write logs. Each Append is one write()
// of one whole line at the end of the file, so lines of two programs never
// mix within a line and a crash keeps everything written before it.
//  - The file is created when missing (0666 less the umask), never
//    truncated, and opened only when it is a regular file that may be
//    written (the same rules as WriteFileAtomic: links by the kernel's rule,
//    the last one opened O_NOFOLLOW; a pipe, device, socket or folder is
//    refused at once, without opening it).
//  - A stream name (/dev/stderr, /dev/fd/N) is written through its open
//    descriptor, which stays open.
//  - A write that fails (a full disk, /dev/full, a closed pipe) ends the
//    log: nothing more is written, and every line from that one on is
//    counted as lost, for one warning at the end (Failure(), LinesLost()).
// One thread at a time.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // False with *error (naming the path) when it cannot be opened.
  bool Open(const std::string& path, std::string* error = nullptr);
  bool IsOpen() const { return fd_ >= 0; }
  // Closes it (a stream's descriptor stays open for the program).
  void Close();
  // Appends one line, which should end with '\n'. False once the log has
  // failed.
  bool Append(const char* line, std::size_t size);
  bool Append(const std::string& line) { return Append(line.data(), line.size()); }

  const std::string& Path() const { return path_; }
  // The system's reason of the write that failed; empty while none has.
  const std::string& Failure() const { return failure_; }
  // Lines not written since the failure, the one that failed included.
  std::size_t LinesLost() const { return lost_; }

 private:
  int fd_ = -1;
  bool ownsFd_ = false;
  std::string path_;
  std::string failure_;
  std::size_t lost_ = 0;
};

}  // namespace chanset
