#include "platform/ReadableColour.h"

#include <algorithm>
#include <cmath>

namespace chanset {

namespace {

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct Hsl {
  double h = 0, s = 0, l = 0;  // h in turns (0..1), s and l 0..1
};

Hsl ToHsl(const Rgb& c) {
  const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  Hsl out;
  out.l = (hi + lo) / 2;
  const double d = hi - lo;
  if (d <= 0) return out;
  out.s = out.l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
  if (hi == r)
    out.h = (g - b) / d + (g < b ? 6 : 0);
  else if (hi == g)
    out.h = (b - r) / d + 2;
  else
    out.h = (r - g) / d + 4;
  out.h /= 6;
  return out;
}

double HueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 1.0 / 2) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

Rgb FromHsl(const Hsl& c) {
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  if (c.s <= 0) return {byte(c.l), byte(c.l), byte(c.l)};
  const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
  const double p = 2 * c.l - q;
  return {byte(HueChannel(p, q, c.h + 1.0 / 3)), byte(HueChannel(p, q, c.h)), byte(HueChannel(p, q, c.h - 1.0 / 3))};
}

}  // namespace

double RelativeLuminance(const Rgb& c) {
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(const Rgb& a, const Rgb& b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkColour(const Rgb& window) {
  return ContrastRatio(window, {255, 255, 255}) > ContrastRatio(window, {0, 0, 0});
}

Rgb ReadableColour(const Rgb& fixed, const Rgb& background, const Rgb& window) {
  if (!IsDarkColour(window) || ContrastRatio(fixed, background) >= kReadableContrast) return fixed;
  // Away from the background's lightness in small steps, hue and
  // saturation kept: lighter on a dark background, darker on a light one.
  // White (black) at the end reaches the contrast on any dark (light) one.
  const bool lighter = IsDarkColour(background);
  Hsl hsl = ToHsl(fixed);
  while (true) {
    hsl.l = std::clamp(hsl.l + (lighter ? 0.005 : -0.005), 0.0, 1.0);
    const Rgb candidate = FromHsl(hsl);
    if (ContrastRatio(candidate, background) >= kReadableContrast || hsl.l <= 0.0 || hsl.l >= 1.0)
      return candidate;
  }
}

}  // namespace chanset
