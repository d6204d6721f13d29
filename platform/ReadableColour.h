#pragma once
// Fixed text colours on dark palettes. The program draws a few texts in
// colours of its own (the grid's headers and channel numbers, the channel
// window's title line, refused rows of an import). On a light window colour
// they stay exactly as they are; where the window colour is dark, each is
// replaced by the colour of the same hue and saturation, lighter, that is
// the first to reach a contrast of 4.5:1 against the background it is drawn
// on (contrast and luminance as WCAG 2 defines them).

namespace chanset {

struct Rgb {
  int r = 0, g = 0, b = 0;  // 0..255 each
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

constexpr double kReadableContrast = 4.5;

// Relative luminance, 0 (black) to 1 (white).
double RelativeLuminance(const Rgb& c);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const Rgb& a, const Rgb& b);
// A window colour is dark when white text on it contrasts more than black
// text does.
bool IsDarkColour(const Rgb& window);
// `fixed` as drawn on `background` in a palette whose window colour is
// `window`: unchanged on a light window colour, else made readable.
Rgb ReadableColour(const Rgb& fixed, const Rgb& background, const Rgb& window);

}  // namespace chanset
