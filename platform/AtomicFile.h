#pragma once
#include <cstddef>
#include <string>

namespace chanset {

// The one writer of every file the program stores (documents, Chanset.ini,
// the user registry, chanset-cli outputs). It replaces the contents of the
// file at `path` with `bytes` and keeps what belongs to the file itself:
//  - A symbolic link stays a link: the file it leads to (followed to the
//    end) is written, and its temporary file is made in that file's folder.
//  - A file the user may not write fails with the system's reason (EACCES:
//    "Permission denied"), exactly as any unwritable file does, and is left
//    untouched. Something that is not a regular file (a folder, a device, a
//    pipe, a socket) is refused and *notRegular is set.
//  - Normally the bytes go to a temporary file in the same folder, which is
//    flushed to disk and renamed over the file, so the file is always either
//    wholly old or wholly new. The new file gets the old one's permission
//    bits, owner and group.
//  - When the folder takes no new file, or the owner or group could not be
//    kept, the file is rewritten in place instead; its old bytes are read
//    first and put back when a write fails.
//  - A new file gets the permissions 0666 less the umask.
// On failure returns false and sets *error (strerror text).
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr,
                     bool* notRegular = nullptr);

// Whether WriteFileAtomic could store `path` now: an existing file must be
// a regular file the user may write, a new one needs a writable folder.
// Checked before slow work whose result would otherwise be lost.
bool CanWriteFile(const std::string& path, std::string* error = nullptr);

// The file a symbolic link finally leads to (the path itself when it is no
// link; a dangling link gives the path the link names).
std::string FollowLinks(const std::string& path);

enum class OpenResult { Ok, NotRegular, Failed };
// Opens `path` for reading without waiting on anything: a pipe, a device, a
// socket or a folder is refused at once (NotRegular) and never read, and a
// serial device is not made the controlling terminal. On Ok, *fd is an open
// blocking descriptor the caller closes; on Failed, *error holds the reason
// and errno the system's error number.
OpenResult OpenRegularFile(const std::string& path, int* fd, std::string* error = nullptr);
// The reason given for NotRegular (English, for command-line tools).
const char* NotRegularFileReason();

// Reads a whole file. Returns false (and sets *error) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Reads from the open descriptor `fd` until end of file or until `limit`
// bytes have arrived, retrying interrupted reads. The descriptor stays open.
// On a read error returns false and sets *error; `bytes` then holds what was
// read before it.
bool ReadDescriptor(int fd, std::string& bytes, std::size_t limit, std::string* error = nullptr);

// Writes all of `bytes` to `fd` from offset 0, retrying interrupted writes,
// cuts the file after them and flushes it to the disk. On failure returns
// false with errno set.
bool WriteDescriptor(int fd, const std::string& bytes);

// The folder part of `path`: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);

}  // namespace chanset
