#pragma once
// The DCS codes the radio knows. A code is written as three octal digits; the
// stored 9-bit value is that octal number (D023 is 19, D754 is 492).
#include <array>
#include <cstdint>

namespace chanset {

// All 107 codes in ascending order (octal literals). 017 and 050 can be
// decoded and encoded but are not offered in the tone lists.
inline constexpr std::array<std::uint16_t, 107> kDcsCodes{
    017, 023, 025, 026, 031, 032, 036, 043, 047, 050, 051, 053, 054, 065, 071, 072, 073, 074,
    0114, 0115, 0116, 0122, 0125, 0131, 0132, 0134, 0143, 0145, 0152, 0155, 0156, 0162, 0165,
    0172, 0174, 0205, 0212, 0223, 0225, 0226, 0243, 0244, 0245, 0246, 0251, 0252, 0255, 0261,
    0263, 0265, 0266, 0271, 0274, 0306, 0311, 0315, 0325, 0331, 0332, 0343, 0346, 0351, 0356,
    0364, 0365, 0371, 0411, 0412, 0413, 0423, 0431, 0432, 0445, 0446, 0452, 0454, 0455, 0462,
    0464, 0465, 0466, 0503, 0506, 0516, 0523, 0526, 0532, 0546, 0565, 0606, 0612, 0624, 0627,
    0631, 0632, 0645, 0654, 0662, 0664, 0703, 0712, 0723, 0731, 0732, 0734, 0743, 0754};

// Whether a code is in the table.
constexpr bool IsDcsCode(unsigned value) {
  for (std::uint16_t c : kDcsCodes)
    if (c == value) return true;
  return false;
}

// Whether the tone lists offer the code (every code but 017 and 050).
constexpr bool IsSelectableDcsCode(unsigned value) {
  return IsDcsCode(value) && value != 017 && value != 050;
}

// The code's octal digits read as a decimal number: 19 (octal 023) gives 23.
// This is how codes are printed and how typed code numbers are compared.
constexpr unsigned DcsDigits(unsigned value) {
  return (value >> 6 & 7) * 100 + (value >> 3 & 7) * 10 + (value & 7);
}

}  // namespace chanset
