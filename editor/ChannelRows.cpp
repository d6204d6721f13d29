#include "editor/ChannelRows.h"

#include <algorithm>
#include <array>

#include "data/ChannelWords.h"
#include "editor/ToneTable.h"

namespace chanset {

namespace {

bool AllDigits(const std::string& s, std::size_t from, std::size_t to) {
  if (from >= to) return false;
  for (std::size_t i = from; i < to; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// A decimal number in a form fit for comparing: no leading zeros before the
// point, no trailing zeros after it ("088.50" and "88.5" both give "88.5",
// "100.0" gives "100").
std::string CanonicalDecimal(const std::string& text) {
  std::size_t dot = text.find('.');
  std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  whole.erase(0, whole.find_first_not_of('0'));
  if (whole.empty()) whole = "0";
  fraction.erase(fraction.find_last_not_of('0') + 1);
  return fraction.empty() ? whole : whole + "." + fraction;
}

const ToneTable& EnglishTones() {
  static const ToneTable table(false);
  return table;
}

// The checked text of a tone cell, or empty when refused.
std::string CheckedTone(const std::string& text, const RowRules& rules) {
  if (text.empty()) return words::kNone.In(rules.chinese);
  return ListedToneText(text, rules.chinese);
}

// Characters of UTF-8 text: every byte that does not continue a character.
std::size_t CharacterCount(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

template <std::size_t N>
std::string ChoiceList(const std::array<WordPair, N>& choices, bool chinese) {
  std::string list;
  for (bool zh : {false, true})
    for (const WordPair& w : choices) list += (list.empty() ? "" : ", ") + std::string(w.In(zh));
  return list + InLanguage(chinese, " or empty", " 或留空");
}

}  // namespace

std::string ShownText(const std::string& text) {
  if (text.size() <= kLongestCell || CharacterCount(text) <= kLongestCell) return text;
  // The first 20 characters, never cutting one in two.
  std::size_t end = 0;
  for (std::size_t chars = 0; end < text.size(); ++end) {
    if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && chars++ == 20) break;
  }
  return text.substr(0, end) + "…";
}

std::string TrimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool IsDecimalText(const std::string& s) {
  std::size_t dot = s.find('.');
  if (dot == std::string::npos) return AllDigits(s, 0, s.size());
  bool whole = dot == 0 || AllDigits(s, 0, dot);
  bool fraction = dot + 1 == s.size() || AllDigits(s, dot + 1, s.size());
  return whole && fraction && s.size() > 1;
}

int ParseChannelNumber(const std::string& text) {
  const std::string s = TrimBlanks(text);
  if (!AllDigits(s, 0, s.size()) || s.size() > 2 || s[0] == '0') return 0;
  int n = std::stoi(s);
  return n >= 1 && n <= kChannelCount ? n : 0;
}

std::string ListedCtcss(const std::string& decimalText) {
  if (!IsDecimalText(decimalText)) return std::string();
  const std::string wanted = CanonicalDecimal(decimalText);
  const ToneTable& tones = EnglishTones();
  for (int i = 1; i < tones.Size(); ++i) {
    const std::string& entry = tones.Text(i);
    if (entry[0] != 'D' && CanonicalDecimal(entry) == wanted) return entry;
  }
  return std::string();
}

std::string ListedDcs(const std::string& codeDigits, char polarity) {
  if (codeDigits.empty() || codeDigits.size() > 3 || (polarity != 'N' && polarity != 'I'))
    return std::string();
  for (char c : codeDigits)
    if (c < '0' || c > '7') return std::string();
  std::string text = "D" + std::string(3 - codeDigits.size(), '0') + codeDigits + polarity;
  return EnglishTones().IndexOf(text) > 0 ? text : std::string();
}

std::string ListedToneText(const std::string& text, bool chinese) {
  if (words::kNone.Matches(text)) return words::kNone.In(chinese);
  if (text.size() == 5 && (text[0] == 'D' || text[0] == 'd')) {
    char polarity = text[4] == 'n' ? 'N' : text[4] == 'i' ? 'I' : text[4];
    return AllDigits(text, 1, 4) ? ListedDcs(text.substr(1, 3), polarity) : std::string();
  }
  return ListedCtcss(text);
}

std::vector<CellRefusal> CheckChannelRow(const ChannelTexts& fields, const RowRules& rules,
                                         ChannelTexts& out, int row, int channel) {
  std::vector<CellRefusal> refusals;
  out.fill(std::string());
  std::array<std::string, 8> f;
  for (std::size_t c = 0; c < 8; ++c) f[c] = TrimBlanks(fields[c]);
  if (f[0].empty()) return refusals;  // an empty Rx is an empty channel

  const bool zh = rules.chinese;
  auto refuse = [&](std::size_t c, RefusalKind kind, const std::string& reason) {
    refusals.push_back({row, channel, static_cast<int>(c) + 1, kColumnTitles[c + 1].In(zh), ShownText(f[c]), kind,
                        reason});
  };
  // A cell longer than any text of its column is refused before anything
  // else is read from it (a megabyte pasted into one cell is no frequency).
  bool tooLong[8] = {};
  for (std::size_t c = 0; c < 8; ++c) {
    if (f[c].size() <= kLongestCell || CharacterCount(f[c]) <= kLongestCell) continue;
    tooLong[c] = true;
    const std::string n = std::to_string(CharacterCount(f[c]));
    refuse(c, RefusalKind::TooLong,
           InLanguage(zh, "a text of " + n + " characters; a cell holds at most 64",
                      "文字长" + n + "个字符；一个单元格最多64个字符"));
  }

  auto checkFrequency = [&](std::size_t c) {
    if (tooLong[c]) return false;
    const std::string& text = f[c];
    if (!IsDecimalText(text)) {
      refuse(c, RefusalKind::NotFrequency, InLanguage(zh, "not a frequency in MHz", "不是以MHz为单位的频率"));
      return false;
    }
    switch (CheckFrequency(ScaleDecimal(text, 100000), rules.limits)) {
      case FrequencyCheck::OutOfRange: {
        const std::string lo = TenHzText(rules.limits.lower), hi = TenHzText(rules.limits.upper);
        refuse(c, RefusalKind::OutOfRange,
               InLanguage(zh, "out of range: the band " + rules.bandText + " takes " + lo + " to " + hi + " MHz",
                          "超出范围：频段" + rules.bandText + "的范围是" + lo + "至" + hi + " MHz"));
        return false;
      }
      case FrequencyCheck::OffStep:
        refuse(c, RefusalKind::OffStep,
               InLanguage(zh, "not on a 5 kHz or 6.25 kHz step", "不在5 kHz或6.25 kHz的步进上"));
        return false;
      case FrequencyCheck::Ok:
        break;
    }
    // The text names the value that was checked: "446.006255" passes as
    // 44600625 and becomes "446.00625", never a rounded 446.00626 that lies
    // on no channel step.
    out[c] = TenHzText(ScaleDecimal(text, 100000));
    return true;
  };

  const bool rxOk = checkFrequency(0);
  if (f[1].empty()) {
    if (rxOk) out[1] = out[0];  // the Tx follows the Rx
  } else {
    checkFrequency(1);
  }

  for (std::size_t c = 2; c <= 3; ++c) {
    if (tooLong[c]) continue;
    out[c] = CheckedTone(f[c], rules);
    if (!out[c].empty()) continue;
    refuse(c, RefusalKind::NotTone,
           InLanguage(zh,
                      "not in the tone list: None, one of its 53 CTCSS tones (88.5) or a listed DCS "
                      "code with N or I (D023N)",
                      "不在亚音列表中：无、列表中的53个CTCSS亚音之一（88.5）或列表中带N或I的DCS码（D023N）"));
  }

  // Choice columns: the word of the chosen language, or the encoder's
  // default for an empty cell.
  auto checkChoice = [&](std::size_t c, const auto& choices, const WordPair& fallback) {
    if (tooLong[c]) return;
    if (f[c].empty()) {
      out[c] = fallback.In(zh);
      return;
    }
    for (const WordPair& w : choices) {
      if (w.Matches(f[c])) {
        out[c] = w.In(zh);
        return;
      }
    }
    refuse(c, RefusalKind::NotWord,
           InLanguage(zh, "not a known word; one of ", "不是可选的词；可选：") + ChoiceList(choices, zh));
  };
  checkChoice(4, kWidthChoices, words::kWide);
  checkChoice(5, kScanChoices, words::kYes);
  checkChoice(6, kBusyChoices, words::kQtDqt);
  checkChoice(7, kPowerChoices, words::kHigh);
  std::stable_sort(refusals.begin(), refusals.end(),
                   [](const CellRefusal& a, const CellRefusal& b) { return a.column < b.column; });
  return refusals;
}

}  // namespace chanset
