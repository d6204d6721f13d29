#include "editor/ToneTable.h"

#include <cstdio>

#include "data/ChannelWords.h"
#include "data/DcsCodes.h"

namespace chanset {

static const char* const kCtcssTones[] = {
    "62.5",  "64.0",  "65.5",  "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",
    "85.4",  "88.5",  "91.5",  "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8",
    "118.8", "123.0", "127.3", "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8",
    "162.2", "165.5", "167.9", "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9",
    "192.8", "196.6", "199.5", "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6",
    "241.8", "250.3", "254.1"};

void ToneTable::Build(bool chinese) {
  m_texts.clear();
  m_texts.reserve(kSize);
  m_texts.emplace_back(words::kNone.In(chinese));
  for (const char* tone : kCtcssTones) m_texts.emplace_back(tone);
  for (char polarity : {'N', 'I'}) {
    for (std::uint16_t code : kDcsCodes) {
      if (!IsSelectableDcsCode(code)) continue;
      char buf[16];
      std::snprintf(buf, sizeof buf, "D%03u%c", DcsDigits(code), polarity);
      m_texts.emplace_back(buf);
    }
  }
}

const std::string& ToneTable::Text(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= Size()) return kEmpty;
  return m_texts[static_cast<std::size_t>(index)];
}

int ToneTable::IndexOf(const std::string& text) const {
  for (int i = 0; i < Size(); ++i)
    if (m_texts[static_cast<std::size_t>(i)] == text) return i;
  return -1;
}

}  // namespace chanset
