#pragma once
// The list of tone texts offered by the QT/DQT drop-down lists: no tone, the
// 53 CTCSS tones, then the 105 selectable DCS codes in normal polarity and
// again in inverted polarity (264 texts in all).
#include <string>
#include <vector>

namespace chanset {

class ToneTable {
 public:
  static constexpr int kSize = 264;

  ToneTable() = default;
  explicit ToneTable(bool chinese) { Build(chinese); }

  // Empties the list and fills it again; the first entry is the no-tone word
  // of the given language.
  void Build(bool chinese);

  int Size() const { return static_cast<int>(m_texts.size()); }
  // The text at `index`; empty when the index is out of range.
  const std::string& Text(int index) const;
  // Index of the entry equal to `text`, or -1.
  int IndexOf(const std::string& text) const;

 private:
  std::vector<std::string> m_texts;
};

}  // namespace chanset
