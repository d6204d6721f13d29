#pragma once
// Conversion between twips (1440 per inch), the unit of every size and
// position the grid control reports, and screen pixels.

namespace chanset {

constexpr int kTwipsPerInch = 1440;

// Pixels of a twips value on a screen of `dpi` pixels per inch, truncated
// toward zero (the conversion every caller of the grid applies).
constexpr int TwipsToPixels(int twips, int dpi) { return twips * dpi / kTwipsPerInch; }

// Twips of a pixel value, rounded up so that TwipsToPixels gives the same
// pixel value back at any dpi below 1440.
constexpr int PixelsToTwips(int pixels, int dpi) {
  if (dpi <= 0) return 0;
  const long long scaled = static_cast<long long>(pixels) * kTwipsPerInch;
  const long long q = scaled / dpi;
  const long long r = scaled % dpi;
  return static_cast<int>(r > 0 ? q + 1 : q);
}

}  // namespace chanset
