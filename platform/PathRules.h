#pragma once
// What a path given to Chanset means before anything is opened: a stream
// that is already open, or a file reached through symbolic links that may
// be followed.
//
// Streams. "/dev/stdin", "/dev/stdout", "/dev/stderr", "/dev/fd/N" and
// "/proc/self/fd/N" name a descriptor the program already holds. They are
// used as that descriptor, never resolved to a file and reopened: a file the
// shell opened with ">>" keeps being appended to, and a pipe stays a pipe.
// Only descriptors handed to the program count (0, 1, 2, and any other that
// was open when the program started and is not marked close-on-exec): a
// descriptor the program opened itself (a port, a trace) is never written
// through a name.
//
// Symbolic links are followed as the kernel does when fs.protected_symlinks
// is on, whatever the machine's setting: a link in a sticky folder that
// anyone may write (/tmp) is followed only when it belongs to the user who
// follows it or to the folder's owner. Another user's link planted there is
// refused, naming the link.
#include <string>

namespace chanset {

// The descriptor a stream name stands for, or -1 when `path` names no
// stream (or a descriptor that is closed or not the caller's to use).
int StreamDescriptor(const std::string& path);
// Whether `path` has the form of a stream name, open or not.
bool LooksLikeStream(const std::string& path);

// "/a/./b/../c" -> "/a/c", without looking at the disk; a relative path
// is taken from the current folder ("" is the current folder itself).
std::string LexicalPath(const std::string& path);

// Follows the symbolic links at the end of `path` to the file they lead to
// (the path itself when it is no link; the named target when a link
// dangles). False with *error naming the link when a link may not be
// followed, or when there are too many links in a row.
bool FollowLinksByRule(const std::string& path, std::string& target, std::string* error = nullptr);

// The file the links of `path` lead to, without the rule (for messages and
// for comparing names; never used to open anything).
std::string FollowLinks(const std::string& path);

// Whether two paths name the same file: the same file on disk when both
// exist (a stream name counts as the file its descriptor holds), else the
// same place once links, "." and ".." are resolved.
bool SameFile(const std::string& a, const std::string& b);

// The folder part of `path`: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);
// The last part of `path`.
std::string NameOf(const std::string& path);

}  // namespace chanset
