#pragma once
// The power adjustment table as the Power Adjustment dialog shows it: one
// grid row per sub-range of the current band (rows 1..R-1 below the title
// row), one column per power level (columns 1..3: low, middle, high). Each
// cell is one image byte:
//   offset = 0x3E0 + start + 3 x (row - 1) + (column - 1)
// where start is the band's first used byte of the table (g_nPowerStart).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/MemoryImage.h"

namespace chanset {

constexpr int kPowerColumns = 3;      // low, middle, high
constexpr int kPowerMaxRows = 7;      // sub-ranges the table has room for
constexpr int kPowerEditorChars = 3;  // the cell editor takes at most this many

// Image offset of grid cell (row, col), row >= 1, col 1..3.
std::size_t PowerCellOffset(int start, int row, int col);

// Titles of columns 1..3 in the chosen language.
std::array<std::string, kPowerColumns> PowerColumnTitles(bool chinese);

// The text a cell shows for an image byte ("%d").
std::string PowerCellText(std::uint8_t value);

// The integer value of a cell text: optional leading white space and sign,
// then decimal digits; 0 when there are none. Saturates instead of
// overflowing.
long PowerTextValue(const std::string& text);

// The text a cell gets when the editor commits `typed`: "255" for values
// above 255, "0" for values below 0, the typed text otherwise (also when it
// is no number at all).
std::string CommittedPowerText(const std::string& typed);

// The byte stored for a cell text: its value clamped to 0..255 (text that is
// no number stores 0).
std::uint8_t PowerByte(const std::string& text);

}  // namespace chanset
