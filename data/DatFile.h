#pragma once
// The .dat configuration file: "S333", twelve zero bytes, then the 1024 image
// bytes. 1040 bytes in all; anything after them is never read.
#include <iosfwd>
#include <string>

#include "data/MemoryImage.h"

namespace chanset {

constexpr std::size_t kDatFileSize = 1040;

enum class DatError {
  None,
  Format,     // the magic is not "S333"; the image is untouched
  EndOfFile,  // the stream ended before 1040 bytes
  Io,         // the file cannot be opened, read or written
  NotAFile,   // a folder, device, pipe or socket: refused without reading it
};

// The message shown for a file that is not a configuration file (wrong magic
// or too short): "Data Format Error" / "数据格式不正确".
const char* DatFormatErrorText(bool chinese);
// The title of a new document: "Channel Information" / "信道信息".
const char* NewDocumentTitle(bool chinese);

// Loads from a stream into `image`. On Format the image is untouched; on
// EndOfFile image bytes already read may have changed, so callers load into
// a scratch image and keep it only on success.
DatError LoadDat(std::istream& in, Image& image);
void StoreDat(std::ostream& out, const Image& image);

// File forms. LoadDatFile never changes `image` unless it returns None and
// reads at most 1040 bytes. It never waits on a pipe or a device; with
// `streams` (the command line) it reads standard input, /dev/fd/N and pipes
// as streams (see platform/FileInput.h).
// StoreDatFile writes through WriteFileAtomic: on failure the old file is
// untouched. `error` receives the system's reason for Io and NotAFile.
DatError LoadDatFile(const std::string& path, Image& image, std::string* error = nullptr, bool streams = false);
DatError StoreDatFile(const std::string& path, const Image& image, std::string* error = nullptr);

}  // namespace chanset
