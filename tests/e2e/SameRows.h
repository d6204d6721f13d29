#pragma once
// Compares whole 16-byte rows of two memory images, for the end-to-end tests
// that check what reached the radio or came back from it.
#include <algorithm>

#include "data/MemoryImage.h"

// Whether rows `first` to `last` (inclusive) of `a` and `b` hold the same bytes.
inline bool SameRows(const chanset::Image& a, const chanset::Image& b, int first, int last) {
  return std::equal(a.begin() + first * chanset::kRowSize, a.begin() + (last + 1) * chanset::kRowSize,
                    b.begin() + first * chanset::kRowSize);
}
