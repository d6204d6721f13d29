#include "tools/cli/ChannelTable.h"

#include <cstdio>
#include <map>

#include "data/ChannelWords.h"
#include "data/DcsCodes.h"

using namespace chanset;

namespace cli {

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool AllDigits(const std::string& s, std::size_t from, std::size_t to) {
  if (from >= to) return false;
  for (std::size_t i = from; i < to; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// A frequency as a plain decimal number: "446", "446.00625", ".5".
bool IsDecimalText(const std::string& s) {
  std::size_t dot = s.find('.');
  if (dot == std::string::npos) return AllDigits(s, 0, s.size());
  bool whole = dot == 0 || AllDigits(s, 0, dot);
  bool fraction = dot + 1 == s.size() || AllDigits(s, dot + 1, s.size());
  return whole && fraction && s.size() > 1;
}

std::string Mhz(std::int64_t tenHz) { return FormatFrequencyText(static_cast<double>(tenHz) / 100000.0); }

// Whether decoding a tone word can give `t`: the no-tone word, a CTCSS tone
// with one decimal, or D, a code of the DCS table and N or I. The encoded
// word must decode to the same text, which also refuses leading zeros and
// values whose word would read back as something else.
bool IsToneText(const std::string& t) {
  if (t.empty() || words::kNone.Matches(t)) return true;
  if (t[0] == 'D') {
    if (t.size() != 5 || !AllDigits(t, 1, 4) || (t[4] != 'N' && t[4] != 'I')) return false;
    unsigned digits = static_cast<unsigned>(std::stoi(t.substr(1, 3)));
    bool known = false;
    for (std::uint16_t code : kDcsCodes) known = known || DcsDigits(code) == digits;
    if (!known) return false;
  } else {
    std::size_t dot = t.find('.');
    if (dot == std::string::npos || dot + 2 != t.size() || !AllDigits(t, 0, dot) ||
        !AllDigits(t, dot + 1, t.size()))
      return false;
  }
  std::uint8_t word[2];
  EncodeTone(t, word);
  return DecodeTone(word, false, false) == t;
}

template <std::size_t N>
bool IsChoice(const std::array<WordPair, N>& choices, const std::string& t) {
  if (t.empty()) return true;  // the encoder's default
  for (const WordPair& w : choices)
    if (w.Matches(t)) return true;
  return false;
}

template <std::size_t N>
std::string ChoiceList(const std::array<WordPair, N>& choices) {
  std::string list;
  for (bool chinese : {false, true})
    for (const WordPair& w : choices) list += (list.empty() ? "" : ", ") + std::string(w.In(chinese));
  return list + " or empty";
}

bool IsChannelNumber(const std::string& s, int& n) {
  if (!AllDigits(s, 0, s.size()) || s.size() > 2 || s[0] == '0') return false;
  n = std::stoi(s);
  return n >= 1 && n <= kChannelCount;
}

}  // namespace

std::vector<TableError> CheckChannelTable(const std::vector<CsvRecord>& records,
                                          const std::vector<int>& lines,
                                          const BandLimits& limits, const std::string& bandText,
                                          ChannelTable& table) {
  std::vector<TableError> errors;
  for (ChannelTexts& t : table) t.fill(std::string());
  std::map<int, int> seen;  // channel -> line

  // A first row that does not start with a channel number is the header
  // row (the column titles, in either language).
  std::size_t first = 0;
  int number = 0;
  if (!records.empty() && !records[0].empty() && !IsChannelNumber(Trim(records[0][0]), number))
    first = 1;

  auto checkFrequency = [&](const std::string& text, int line, int column, std::string& out) {
    if (!IsDecimalText(text)) {
      errors.push_back({line, column, text, "not a frequency in MHz"});
      return false;
    }
    switch (CheckFrequency(ScaleDecimal(text, 100000), limits)) {
      case FrequencyCheck::OutOfRange:
        errors.push_back({line, column, text,
                          "out of range: the band " + bandText + " takes " + Mhz(limits.lower) +
                              " to " + Mhz(limits.upper) + " MHz"});
        return false;
      case FrequencyCheck::OffStep:
        errors.push_back({line, column, text, "not on a 5 kHz or 6.25 kHz step"});
        return false;
      case FrequencyCheck::Ok:
        break;
    }
    out = FormatFrequencyText(ParseLeadingDouble(text));
    return true;
  };

  for (std::size_t r = first; r < records.size(); ++r) {
    const int line = r < lines.size() ? lines[r] : 0;
    std::vector<std::string> f;
    for (const std::string& field : records[r]) f.push_back(Trim(field));
    int channel = 0;
    if (f.empty() || !IsChannelNumber(f[0], channel)) {
      errors.push_back({line, 1, f.empty() ? "" : f[0], "not a channel number 1 to 16"});
      continue;
    }
    if (seen.count(channel)) {
      errors.push_back({line, 1, f[0],
                        "channel given twice (first on line " + std::to_string(seen[channel]) + ")"});
      continue;
    }
    seen[channel] = line;
    if (f.size() != 9) {
      errors.push_back({line, static_cast<int>(std::min<std::size_t>(f.size(), 9)) + 1, "",
                        "a row needs 9 columns (channel and eight texts), this one has " +
                            std::to_string(f.size())});
      continue;
    }
    ChannelTexts& out = table[static_cast<std::size_t>(channel - 1)];
    if (f[1].empty()) continue;  // an empty Rx is an empty channel

    bool rxOk = checkFrequency(f[1], line, 2, out[0]);
    if (f[2].empty()) {
      if (rxOk) out[1] = out[0];  // the Tx follows the Rx
    } else {
      checkFrequency(f[2], line, 3, out[1]);
    }
    for (int c = 3; c <= 4; ++c) {
      if (IsToneText(f[static_cast<std::size_t>(c)]))
        out[static_cast<std::size_t>(c - 1)] = f[static_cast<std::size_t>(c)];
      else
        errors.push_back({line, c + 1, f[static_cast<std::size_t>(c)],
                          "not a tone: None, a CTCSS tone with one decimal (88.5) or a DCS "
                          "code of the table with N or I (D023N)"});
    }
    struct Choice {
      bool ok;
      std::string list;
    };
    const Choice choices[4] = {
        {IsChoice(kWidthChoices, f[5]), ChoiceList(kWidthChoices)},
        {IsChoice(kScanChoices, f[6]), ChoiceList(kScanChoices)},
        {IsChoice(kBusyChoices, f[7]), ChoiceList(kBusyChoices)},
        {IsChoice(kPowerChoices, f[8]), ChoiceList(kPowerChoices)},
    };
    for (int k = 0; k < 4; ++k) {
      std::size_t c = static_cast<std::size_t>(5 + k);
      if (choices[k].ok)
        out[c - 1] = f[c];
      else
        errors.push_back({line, static_cast<int>(c) + 1, f[c],
                          "not a known word; one of " + choices[k].list});
    }
  }

  std::string missing;
  for (int c = 1; c <= kChannelCount; ++c)
    if (!seen.count(c)) missing += (missing.empty() ? "" : ", ") + std::to_string(c);
  if (!missing.empty()) {
    int end = lines.empty() ? 1 : lines.back() + 1;
    errors.push_back({end, 1, "", "no row for channel " + missing});
  }
  return errors;
}

}  // namespace cli
