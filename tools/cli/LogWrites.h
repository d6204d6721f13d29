#pragma once
// The write log's line for each radio `chanset-cli write` wrote to
// (link/WriteLog.h). One that cannot be added is a warning: the write
// itself stands.
#include <string>

#include "data/MemoryImage.h"
#include "link/CloneTransfer.h"
#include "link/ReadBack.h"

namespace chanset {
class CSettingsFile;
}

namespace cli {

// The document as the log names it: the absolute path of a file given, as
// given otherwise ("-", a stream).
std::string LoggedDocument(const std::string& given);

// Adds the line of writing `image` from `document` to the device `path`,
// ended as `write` and `back` (null: no read-back) say. A port that never
// opened wrote nothing and adds no line. Safe from any thread. Returns the
// warning to print when the line could not be added, else "".
std::string LogWrite(const std::string& path, const std::string& document, const chanset::Image& image,
              const chanset::TransferResult& write, const chanset::ReadBackResult* back,
              const chanset::CSettingsFile* names);

}  // namespace cli
