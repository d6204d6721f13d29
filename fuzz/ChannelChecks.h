#pragma once
// Checks shared by the fuzz targets that write channels into an image.
#include <string>

#include "data/MemoryImage.h"

namespace fuzz {

// Whether two images agree outside the bytes a channel write may change:
// record bytes 0..13 of every channel, the scan bits and the write-back
// marker.
inline bool SameOutsideChannels(const chanset::Image& a, const chanset::Image& b) {
  using namespace chanset;
  for (std::size_t i = 0; i < kImageSize; ++i) {
    if (i == off::kWriteBack || i == off::kScanBits || i == off::kScanBits + 1) continue;
    if (i >= off::channel(1) && i < off::channel(kChannelCount + 1) && i % kRowSize < 14) continue;
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The number of lines of a text as the CSV reader counts them.
inline int CountLines(const std::string& text) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace fuzz
