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
// The eight texts of channel n (1..16) as the grid holds them.
ChannelTexts GridChannel(const CellTexts& grid, int channel);

// Rewrites the channel fields of all 16 channels from the grid texts, then
// sets the write-back marker. Accepts the words of both languages.
void EncodeChannels(const CellTexts& grid, Image& image);
// Rewrites the channel fields of one channel (1..16) from its eight texts, by
// the same rules; the write-back marker is left alone.
void EncodeChannel(const ChannelTexts& texts, Image& image, int channel);

// Single fields, as the two functions above read and write them.
// A frequency text from 4 record bytes (least significant pair first): empty
// when the top byte is 0x00 or 0xFF, else "%3.5f" of the BCD number in MHz.
std::string DecodeFrequency(const std::uint8_t* bytes);
// Writes 4 record bytes from a frequency text; 0xFF x 4 when it reads as no
// positive number.
void EncodeFrequency(const std::string& text, std::uint8_t* bytes);
// A tone text from a tone word (low byte first). `emptyChannel` selects the
// empty text instead of the no-tone word.
std::string DecodeTone(const std::uint8_t* bytes, bool emptyChannel, bool chinese);
// Writes a tone word (low byte first) from a tone text.
void EncodeTone(const std::string& text, std::uint8_t* bytes);

// Number parsing shared by the codec and the cell validation: the longest
// valid leading decimal floating-point part of `text` (0 when none), rounded
// to 15 significant digits, scaled by `scale` (a power of ten) in decimal and
// truncated toward zero. ScaleDecimal("446.00625", 100000) == 44600625.
// `scale` must be a positive power of ten (other values give 0); results
// beyond the int64 range saturate.
std::int64_t ScaleDecimal(const std::string& text, std::int64_t scale);

// The parsed value itself: strtod's reading of a decimal number, without
// hexadecimal, infinity or NaN forms and independent of the locale. And
// "%3.5f" of a value, always with a decimal point.
double ParseLeadingDouble(const std::string& text);
std::string FormatFrequencyText(double mhz);  // "%3.5f"
// A frequency in 10 Hz units as MHz with five decimals, exactly: 44600625
// gives "446.00625".
std::string TenHzText(std::int64_t tenHz);

// atoi's reading of `text` from `from` on, independent of the locale:
// [spaces][sign]digits, stopping at the first non-digit; 0 when there are no
// digits. A value of more than 13 digits stops growing instead of
// overflowing, so it stays as far from zero as any 13-digit number.
long long ParseLeadingInteger(const std::string& text, std::size_t from = 0);

}  // namespace chanset
