#include "data/ImageDiff.h"

#include <cstdio>

#include "data/ChannelCodec.h"
#include "data/ChannelWords.h"
#include "data/OptionMap.h"
#include "data/RadioBands.h"

namespace chanset {

namespace {

constexpr WordPair kEmptyText{"(empty)", "(空)"};
// The labels of the Product Information dialog.
constexpr WordPair kTypeLabel{"Type", "类型"};
constexpr WordPair kBandLabel{"Frequency", "频率"};

// Bits of one byte that a line covers.
struct Bits {
  std::size_t offset;
  std::uint8_t mask;
};

class DiffBuilder {
 public:
  DiffBuilder(const Image& from, const Image& to, bool chinese) : from_(from), to_(to), zh_(chinese) {}

  // A named line when the two texts differ; its bits then count as shown.
  void Named(const std::string& label, const std::string& a, const std::string& b,
             std::initializer_list<Bits> bits) {
    if (a == b) return;
    lines_.push_back(label + ": " + Shown(a) + " -> " + Shown(b));
    for (const Bits& covered : bits) shown_[covered.offset] |= covered.mask;
  }
  // `count` whole bytes from `offset`.
  void NamedBytes(const std::string& label, const std::string& a, const std::string& b,
                  std::size_t offset, std::size_t count) {
    if (a == b) return;
    for (std::size_t i = 0; i < count; ++i) shown_[offset + i] = 0xFF;
    Named(label, a, b, {});
  }

  // Address lines for every byte below `end` with a change no line showed.
  std::vector<std::string> Finish(std::size_t end) {
    for (std::size_t a = 0; a < end; ++a) {
      if (((from_[a] ^ to_[a]) & ~shown_[a]) == 0) continue;
      char buf[32];
      std::snprintf(buf, sizeof buf, "0x%03zX: %02X -> %02X", a, from_[a], to_[a]);
      lines_.push_back(buf);
    }
    return std::move(lines_);
  }

  bool Chinese() const { return zh_; }

 private:
  std::string Shown(const std::string& text) const { return text.empty() ? kEmptyText.In(zh_) : text; }

  const Image& from_;
  const Image& to_;
  bool zh_;
  Image shown_{};
  std::vector<std::string> lines_;
};

void Channels(DiffBuilder& out, const Image& from, const Image& to) {
  const bool zh = out.Chinese();
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelTexts a = DecodeChannel(from, n, zh);
    const ChannelTexts b = DecodeChannel(to, n, zh);
    const std::size_t base = off::channel(n);
    const std::size_t scanByte = off::kScanBits + static_cast<std::size_t>(n - 1) / 8;
    const auto scanBit = static_cast<std::uint8_t>(1u << ((n - 1) % 8));
    auto label = [&](int column) {
      return std::string(kColumnTitles[0].In(zh)) + " " + std::to_string(n) + " " + kColumnTitles[column].In(zh);
    };
    out.NamedBytes(label(1), a[0], b[0], base + off::kRxFreq, 4);
    out.NamedBytes(label(2), a[1], b[1], base + off::kTxFreq, 4);
    out.NamedBytes(label(3), a[2], b[2], base + off::kRxTone, 2);
    out.NamedBytes(label(4), a[3], b[3], base + off::kTxTone, 2);
    out.Named(label(5), a[4], b[4], {{base + off::kFlagsB, kWideBit}});
    out.Named(label(6), a[5], b[5], {{scanByte, scanBit}});
    out.Named(label(7), a[6], b[6], {{base + off::kFlagsA, kBusyMask}});
    out.Named(label(8), a[7], b[7], {{base + off::kFlagsB, kPowerMask}});
  }
}

void RadioOptions(DiffBuilder& out, const Image& from, const Image& to) {
  const bool zh = out.Chinese();
  for (const OptionInfo& info : Options()) {
    out.Named(info.label.In(zh), OptionShownText(info.option, from, zh), OptionShownText(info.option, to, zh),
              {{info.offset, info.bits}});
  }
}

// The type's name, or its index when the settings do not name it.
std::string TypeShown(const Image& image, const std::vector<std::string>& types) {
  const std::size_t t = image[off::kRadioType];
  return t < types.size() ? types[t] : std::to_string(t);
}

// The band's text in its type's list, or its index.
std::string BandShown(const Image& image, const CSettingsFile* settings, const std::vector<std::string>& types) {
  const std::size_t t = image[off::kRadioType];
  const std::size_t b = image[off::kBand];
  if (settings && t < types.size()) {
    std::vector<std::string> bands = BandList(*settings, static_cast<int>(t));
    if (b < bands.size() && !bands[b].empty()) return bands[b];
  }
  return std::to_string(b);
}

// A type or band line. Two indexes can carry the same name (a settings file
// may list a band twice, or two types share a band); the indexes then tell
// them apart: "400-470MHz (0) -> 400-470MHz (1)".
void IndexLine(DiffBuilder& out, const char* label, std::string a, std::string b, const Image& from,
               const Image& to, std::size_t offset) {
  if (a == b && from[offset] != to[offset]) {
    a += " (" + std::to_string(from[offset]) + ")";
    b += " (" + std::to_string(to[offset]) + ")";
  }
  out.NamedBytes(label, a, b, offset, 1);
}

void TypeAndBand(DiffBuilder& out, const Image& from, const Image& to, const CSettingsFile* settings) {
  const bool zh = out.Chinese();
  const std::vector<std::string> types = settings ? TypeList(*settings) : std::vector<std::string>();
  IndexLine(out, kTypeLabel.In(zh), TypeShown(from, types), TypeShown(to, types), from, to, off::kRadioType);
  IndexLine(out, kBandLabel.In(zh), BandShown(from, settings, types), BandShown(to, settings, types), from, to,
            off::kBand);
}

}  // namespace

std::vector<std::string> DiffImages(const Image& from, const Image& to, bool chinese,
                                    const CSettingsFile* settings, DiffRows rows) {
  DiffBuilder out(from, to, chinese);
  Channels(out, from, to);
  RadioOptions(out, from, to);
  TypeAndBand(out, from, to, settings);
  return out.Finish(rows == DiffRows::All ? kImageSize : kTransferBytes);
}

Image WithGridEdits(const Image& image, const CellTexts& grid, bool chinese) {
  Image edited = image;
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelTexts texts = GridChannel(grid, n);
    if (texts != DecodeChannel(image, n, chinese)) EncodeChannel(texts, edited, n);
  }
  return edited;
}

std::vector<std::string> VerifyDifferences(const Image& sent, const Image& readBack, bool chinese,
                                           const CSettingsFile* settings) {
  return DiffImages(sent, readBack, chinese, settings, DiffRows::Transferred);
}

}  // namespace chanset
