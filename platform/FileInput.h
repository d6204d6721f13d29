#pragma once
// The one reader of every file Chanset takes in: configuration files,
// channel tables (Chanset CSV and CHIRP CSV), settings files, the simulator's
// image.
//
//  - A regular file is read, through symbolic links only as the kernel's
//    rule allows (see PathRules.h).
//  - A folder, a device or a socket is refused at once, never opened for
//    reading: nothing waits on it and no serial line is disturbed.
//  - With `streams` (the command line only), "-" is not special here (the
//    caller maps it), but "/dev/stdin", "/dev/fd/N" and a named pipe are
//    read as a stream, as `cat` would read them, until they end. Without
//    it (the window), every file that is not a regular file is refused at
//    once, pipes included, so the window never waits.
//  - Every read stops at `limit` bytes, counted on what arrives, never on
//    the size the file claims (a device or a pipe claims 0): more than that
//    is TooLarge and the caller changes nothing.
#include <cstddef>
#include <string>

#include "platform/PathRules.h"

namespace chanset {

// The most any input may hold: a channel table of 16 rows, or another
// radio's list of a few thousand, is far smaller.
constexpr std::size_t kLargestInput = 16u * 1024 * 1024;

enum class InputStatus { Ok, NotRegular, TooLarge, Failed };

struct InputRules {
  bool streams = false;               // read pipes and standard input as streams
  std::size_t limit = kLargestInput;  // the most that is taken in
  bool cutAtLimit = false;            // reading `limit` bytes is enough (a fixed-size format)
};

// Reads the input at `path` into `bytes`. On anything but Ok, *error holds
// the reason (English, for command-line tools) and `bytes` is empty, except
// after a read error, when it holds what arrived before it.
InputStatus ReadInput(const std::string& path, std::string& bytes, const InputRules& rules = InputRules(),
                      std::string* error = nullptr);

// The reasons given for NotRegular and TooLarge.
const char* NotRegularFileReason();
const char* TooLargeReason();

enum class OpenResult { Ok, NotRegular, Failed };
// Opens the regular file `path` for reading without waiting on anything,
// following links by the rule. On Ok, *fd is an open blocking descriptor
// the caller closes; on Failed, *error holds the reason and errno the
// system's error number.
OpenResult OpenRegularFile(const std::string& path, int* fd, std::string* error = nullptr);

// A whole regular file, at most kLargestInput bytes. False with *error when
// it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Reads from the open descriptor `fd` until end of file or until `limit`
// bytes have arrived, retrying interrupted reads. The descriptor stays open.
// On a read error returns false and sets *error; `bytes` then holds what was
// read before it.
bool ReadDescriptor(int fd, std::string& bytes, std::size_t limit, std::string* error = nullptr);

}  // namespace chanset
