#pragma once
#include <cstddef>
#include <string>

namespace chanset {

// Writes `bytes` to `path` so that the file is either wholly the new contents
// or untouched: the data goes to a temporary file in the same folder, is
// flushed to disk, and is renamed over `path`. The temporary file keeps the
// permissions of the file it replaces. On failure returns false, sets *error
// (strerror text) and leaves any existing file byte for byte as it was.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// Reads a whole file. Returns false (and sets *error) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Reads from the open descriptor `fd` until end of file or until `limit`
// bytes have arrived, retrying interrupted reads. The descriptor stays open.
// On a read error returns false and sets *error; `bytes` then holds what was
// read before it.
bool ReadDescriptor(int fd, std::string& bytes, std::size_t limit, std::string* error = nullptr);

}  // namespace chanset
