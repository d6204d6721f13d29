#pragma once
// Conversion between the channel records of the image and the eight texts per
// channel that the channel grid shows: Rx, Tx, QT/DQT Dec, QT/DQT Enc, W/N,
// Scan, Busy Lock, Power (grid columns 1..8; grid row n is channel n).
#include <array>
#include <cstdint>
#include <string>

#include "data/MemoryImage.h"

namespace chanset {

// Read access to grid cell texts by (row, column), 0-based with the header
// row and column included: channel n's texts are at row n, columns 1..8.
// The GUI grid, CSV import and tests all feed the encoder through this.
class CellTexts {
 public:
  virtual ~CellTexts() = default;
  virtual std::string Text(int row, int col) const = 0;
};

using ChannelTexts = std::array<std::string, 8>;  // columns 1..8

// Decodes channel n (1..16) into its eight texts in the given language.
ChannelTexts DecodeChannel(const Image& image, int channel, bool chinese);

// Rewrites the channel fields of all 16 channels from the grid texts, then
// sets the write-back marker. Accepts the words of both languages.
void EncodeChannels(const CellTexts& grid, Image& image);

// Number parsing shared by the codec and the cell validation: the longest
// valid leading decimal floating-point part of `text` (0 when none), rounded
// to 15 significant digits, scaled by `scale` (a power of ten) in decimal and
// truncated toward zero. ScaleDecimal("446.00625", 100000) == 44600625.
std::int64_t ScaleDecimal(const std::string& text, std::int64_t scale);

// The parsed value itself (as strtod reads it), and "%3.5f" of it.
double ParseLeadingDouble(const std::string& text);
std::string FormatFrequencyText(double mhz);  // "%3.5f"

}  // namespace chanset
