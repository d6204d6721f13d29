#include "data/ChannelCodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

#include "data/ChannelWords.h"
#include "data/DcsCodes.h"

namespace chanset {

// ---------------------------------------------------------------- numbers
//
// Everything here is locale-independent on purpose: the GUI runs under the
// user's locale, where printf and strtod may use a decimal comma.

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest leading part of `text` that reads as a decimal floating-point
// number: [spaces][sign]digits[.digits][(e|E)[sign]digits], with at least one
// mantissa digit. `begin` is the first mantissa character (after the sign).
struct NumberSpan {
  bool found = false;
  bool negative = false;
  std::size_t begin = 0;
  std::size_t end = 0;
};

NumberSpan ScanNumber(const std::string& text) {
  NumberSpan span;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsSpace(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    span.negative = text[i] == '-';
    ++i;
  }
  span.begin = i;
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return span;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && IsDigit(text[j])) {
      while (j < n && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  span.found = true;
  span.end = i;
  return span;
}

// For a number that does not fit a double: whether it is too large (true)
// or too small (false), from the decimal exponent of its first non-zero digit.
bool Overflows(const std::string& text, const NumberSpan& span) {
  std::size_t i = span.begin;
  std::size_t intDigits = 0;
  while (IsDigit(text[i + intDigits])) ++intDigits;
  long lead = static_cast<long>(intDigits) - 1;  // exponent of the digit at i
  for (; i < span.end && text[i] != 'e' && text[i] != 'E'; ++i) {
    if (text[i] == '.') continue;
    if (text[i] != '0') break;
    --lead;
  }
  if (i == span.end || text[i] == 'e' || text[i] == 'E') return false;  // all zeros
  std::size_t e = text.find_first_of("eE", i);
  long long exponent = e < span.end ? ParseLeadingInteger(text, e + 1) : 0;
  return lead + exponent > 0;
}

}  // namespace

long long ParseLeadingInteger(const std::string& text, std::size_t from) {
  std::size_t i = from;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    if (value < 1000000000000LL) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

double ParseLeadingDouble(const std::string& text) {
  NumberSpan span = ScanNumber(text);
  if (!span.found) return 0.0;
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(text.data() + span.begin, text.data() + span.end, value,
                                   std::chars_format::general);
  (void)ptr;
  if (ec == std::errc::result_out_of_range)
    value = Overflows(text, span) ? HUGE_VAL : 0.0;
  else if (ec != std::errc())
    value = 0.0;
  return span.negative ? -value : value;
}

std::int64_t ScaleDecimal(const std::string& text, std::int64_t scale) {
  // The scale must be a positive power of ten; count its zeros.
  int zeros = 0;
  for (std::int64_t s = scale; s != 1; s /= 10) {
    if (s <= 0 || s % 10 != 0) return 0;
    ++zeros;
  }
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  double value = ParseLeadingDouble(text);
  if (value == 0.0) return 0;
  const bool negative = value < 0;
  if (std::isinf(value)) return negative ? -kMax : kMax;

  // 15 significant digits: "d.dddddddddddddde[+-]x".
  char buf[48];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  std::string sci(buf, res.ptr);
  std::size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);  // 15 digits
  int exponent = static_cast<int>(ParseLeadingInteger(sci, e + 1));

  // Shift the decimal point: `point` digits stand before it after scaling.
  int point = 1 + exponent + zeros;
  if (point <= 0) return 0;
  if (point > 19) return negative ? -kMax : kMax;
  std::string whole = point <= static_cast<int>(digits.size())
                          ? digits.substr(0, static_cast<std::size_t>(point))
                          : digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
  std::uint64_t result = 0;
  for (char c : whole) result = result * 10 + static_cast<std::uint64_t>(c - '0');
  if (result > static_cast<std::uint64_t>(kMax)) result = static_cast<std::uint64_t>(kMax);
  std::int64_t signedResult = static_cast<std::int64_t>(result);
  return negative ? -signedResult : signedResult;
}

std::string FormatFrequencyText(double mhz) {
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, mhz, std::chars_format::fixed, 5);
  std::string text(buf, res.ptr);
  if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
  return text;
}

std::string TenHzText(std::int64_t tenHz) {
  const bool negative = tenHz < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(tenHz) : static_cast<std::uint64_t>(tenHz);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%llu.%05llu", negative ? "-" : "",
                static_cast<unsigned long long>(magnitude / 100000),
                static_cast<unsigned long long>(magnitude % 100000));
  return buf;
}

// ---------------------------------------------------------------- fields

// Frequencies: 8 packed BCD digits in 10 Hz units, least significant pair
// first (446.00625 MHz = 44600625 = 25 06 60 44). Nibbles are taken at face
// value, so a nibble above 9 simply counts as 10..15.
std::string DecodeFrequency(const std::uint8_t* bytes) {
  if (bytes[3] == 0x00 || bytes[3] == 0xFF) return std::string();
  std::uint32_t f = 0;
  for (int i = 3; i >= 0; --i) f = f * 100 + (bytes[i] >> 4) * 10u + (bytes[i] & 0x0Fu);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%u.%05u", f / 100000, f % 100000);
  return buf;
}

void EncodeFrequency(const std::string& text, std::uint8_t* bytes) {
  std::int64_t v = ScaleDecimal(text, 100000);
  if (v <= 0) {
    // Empty, not a number, or negative: no frequency.
    for (int i = 0; i < 4; ++i) bytes[i] = 0xFF;
    return;
  }
  std::int64_t divisor = 1000000;
  for (int i = 3; i >= 0; --i) {
    std::int64_t d = v / divisor;
    v %= divisor;
    bytes[i] = static_cast<std::uint8_t>(((d / 10) * 16 + d % 10) & 0xFF);
    divisor /= 100;
  }
}

// Tone word (low byte l, high byte h):
//   h 0x00/0xFF            no tone
//   h 0x28/0x29            DCS normal,   code = l + 256 * (h & 1)
//   h 0xA8/0xA9            DCS inverted, same code
//   anything else          CTCSS, l + 256 * h in tenths of a hertz
std::string DecodeTone(const std::uint8_t* bytes, bool emptyChannel, bool chinese) {
  const unsigned l = bytes[0];
  const unsigned h = bytes[1];
  if (h == 0x00 || h == 0xFF) return emptyChannel ? std::string() : words::kNone.In(chinese);
  char buf[32];
  if (h == 0x28 || h == 0x29 || h == 0xA8 || h == 0xA9) {
    const unsigned code = l + 256 * (h & 1);
    std::snprintf(buf, sizeof buf, "D%03u%c", IsDcsCode(code) ? DcsDigits(code) : 0u,
                  (h & 0x80) ? 'I' : 'N');
    return buf;
  }
  const unsigned tenths = l + 256 * h;
  std::snprintf(buf, sizeof buf, "%u.%u", tenths / 10, tenths % 10);
  return buf;
}

void EncodeTone(const std::string& text, std::uint8_t* bytes) {
  if (text.find('D') != std::string::npos) {
    // A DCS code: the digits after the first character, compared as written
    // (023 is the code 023); N marks normal polarity, anything else inverted.
    const long long number = ParseLeadingInteger(text, 1);
    const bool inverted = text.find('N') == std::string::npos;
    const bool upper = number >= 372;  // codes from 400 need bit 8
    bytes[1] = static_cast<std::uint8_t>((inverted ? 0xA8 : 0x28) | (upper ? 0x01 : 0x00));
    bytes[0] = 0x00;
    for (std::uint16_t code : kDcsCodes) {
      if (static_cast<long long>(DcsDigits(code)) == number) {
        bytes[0] = static_cast<std::uint8_t>(code & 0xFF);
        break;
      }
    }
    return;
  }
  const std::int64_t tenths = ScaleDecimal(text, 10);
  if (tenths <= 0) {
    // "None", empty, not a number, or negative: no tone.
    bytes[0] = bytes[1] = 0xFF;
    return;
  }
  bytes[0] = static_cast<std::uint8_t>(tenths & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((tenths >> 8) & 0xFF);
}

// ---------------------------------------------------------------- channels

ChannelTexts DecodeChannel(const Image& image, int channel, bool chinese) {
  ChannelTexts texts;
  if (channel < 1 || channel > kChannelCount) return texts;
  const std::uint8_t* r = image.data() + off::channel(channel);
  texts[0] = DecodeFrequency(r + off::kRxFreq);
  texts[1] = DecodeFrequency(r + off::kTxFreq);
  const bool empty = texts[0].empty() || texts[1].empty();
  texts[2] = DecodeTone(r + off::kRxTone, empty, chinese);
  texts[3] = DecodeTone(r + off::kTxTone, empty, chinese);
  if (empty) return texts;

  const std::uint8_t a = r[off::kFlagsA];
  const std::uint8_t b = r[off::kFlagsB];
  texts[4] = ((b & kWideBit) ? words::kWide : words::kNarrow).In(chinese);
  texts[5] = (ScanBit(image, channel) ? words::kYes : words::kNo).In(chinese);
  switch (a & kBusyMask) {
    case 0x00: texts[6] = words::kOff.In(chinese); break;
    case kBusyCarrier: texts[6] = words::kCarrier.In(chinese); break;
    default: texts[6] = words::kQtDqt.In(chinese); break;  // 0x10 and 0x18
  }
  switch (b & kPowerMask) {
    case 0x00: texts[7] = words::kLow.In(chinese); break;
    case kPowerMiddle: texts[7] = words::kMiddle.In(chinese); break;
    default: texts[7] = words::kHigh.In(chinese); break;  // 0x20 and 0x60
  }
  return texts;
}

void EncodeChannel(const ChannelTexts& texts, Image& image, int n) {
  if (n < 1 || n > kChannelCount) return;
  std::uint8_t* r = image.data() + off::channel(n);
  EncodeFrequency(texts[0], r + off::kRxFreq);
  EncodeFrequency(texts[1], r + off::kTxFreq);
  EncodeTone(texts[2], r + off::kRxTone);
  EncodeTone(texts[3], r + off::kTxTone);

  // Unrecognised words (the empty text included) take the defaults:
  // wide, scanned, busy lock QT/DQT, high power.
  const std::string& width = texts[4];
  if (words::kWide.Matches(width) || !words::kNarrow.Matches(width))
    r[off::kFlagsB] |= kWideBit;
  else
    r[off::kFlagsB] &= static_cast<std::uint8_t>(~kWideBit);

  const std::string& scan = texts[5];
  SetScanBit(image, n, words::kYes.Matches(scan) || !words::kNo.Matches(scan));

  const std::string& busy = texts[6];
  r[off::kFlagsA] &= static_cast<std::uint8_t>(~kBusyMask);
  if (words::kOff.Matches(busy)) {
  } else if (words::kCarrier.Matches(busy)) {
    r[off::kFlagsA] |= kBusyCarrier;
  } else {
    r[off::kFlagsA] |= kBusyQt;
  }

  const std::string& power = texts[7];
  r[off::kFlagsB] &= static_cast<std::uint8_t>(~kPowerMask);
  if (words::kHigh.Matches(power)) {
    r[off::kFlagsB] |= kPowerHigh;
  } else if (words::kMiddle.Matches(power)) {
    r[off::kFlagsB] |= kPowerMiddle;
  } else if (words::kLow.Matches(power)) {
  } else {
    r[off::kFlagsB] |= kPowerHigh;
  }
}

ChannelTexts GridChannel(const CellTexts& grid, int channel) {
  ChannelTexts texts;
  for (int c = 0; c < 8; ++c) texts[static_cast<std::size_t>(c)] = grid.Text(channel, c + 1);
  return texts;
}

void EncodeChannels(const CellTexts& grid, Image& image) {
  for (int n = 1; n <= kChannelCount; ++n) EncodeChannel(GridChannel(grid, n), image, n);
  image[off::kWriteBack] = kWriteBackMarker;
}

}  // namespace chanset
