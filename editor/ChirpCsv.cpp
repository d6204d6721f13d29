#include "editor/ChirpCsv.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "data/ChannelWords.h"
#include "data/RadioBands.h"
#include "settings/CSettingsFile.h"

namespace chanset {

const std::vector<std::string> kChirpColumns = {
    "Location",     "Name",       "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq", "DtcsCode",
    "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",   "TStep",  "Skip", "Power",     "Comment"};

namespace {

// Positions in kChirpColumns.
enum Col {
  kLocation, kName, kFrequency, kDuplex, kOffset, kTone, kRTone, kCTone, kDtcs, kPolarity,
  kRxDtcs, kCross, kMode, kTStep, kSkip, kPower, kComment, kColCount
};
// The columns every row needs; the others read as empty when missing.
constexpr std::array<Col, 10> kRequired{kLocation, kFrequency, kDuplex, kOffset, kTone,
                                        kRTone,    kCTone,     kDtcs,   kPolarity, kMode};

using Columns = std::vector<int>;  // record index of each column, -1 when absent

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool SameWord(const std::string& a, const char* b) { return Lower(a) == Lower(b); }

// 10 Hz units as the format writes them: MHz with six decimals ("446.006250").
std::string SixDecimals(std::int64_t tenHz) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%lld.%06lld", static_cast<long long>(tenHz / 100000),
                static_cast<long long>(tenHz % 100000 * 10));
  return buf;
}

// A power text in watts ("5.0W", "0.5 w", "4"), as milliwatts.
bool ParseWatts(const std::string& text, std::int64_t& milliwatts) {
  std::string number = text;
  if (!number.empty() && (number.back() == 'W' || number.back() == 'w')) number.pop_back();
  return ParseDecimalUnits(TrimBlanks(number), 3, milliwatts);
}

// A power level name of this radio, either language, English in any case.
const WordPair* PowerLevel(const std::string& text) {
  for (const WordPair& level : kPowerChoices)
    if (SameWord(text, level.en) || text == level.zh) return &level;
  return nullptr;
}

// "channel 5" or "channels 1, 3", or the Chinese form.
std::string ChannelList(const std::vector<int>& channels, bool chinese) {
  std::string list;
  for (int n : channels) list += (list.empty() ? "" : chinese ? "、" : ", ") + std::to_string(n);
  return chinese ? "信道" + list : (channels.size() == 1 ? "channel " : "channels ") + list;
}

class RowReader {
 public:
  RowReader(const CsvRecord& record, const Columns& at, const ImportOptions& options, ImportRow& row)
      : m_record(record), m_at(at), m_zh(options.chinese), m_options(options), m_row(row) {}

  void Read() {
    const std::int64_t rx = ReadRx();
    const std::int64_t tx = rx > 0 ? ReadTx(rx) : 0;
    std::string rxTone, txTone;
    ReadTones(rxTone, txTone);
    const WordPair* width = ReadMode();
    const WordPair* scan = ReadSkip();
    const WordPair* power = ReadPower();
    ReadDropped();

    // The channel editor's checks run even when a column above was refused,
    // so the frequencies' faults are listed too; a refused value stands in
    // as what the encoder would make of an empty cell. Without an offset the
    // Tx follows the Rx, so a refused Rx is not reported twice.
    const std::string none = words::kNone.en;
    ChannelTexts fields{rx > 0 ? TenHzText(rx) : std::string(),
                        m_txFromOffset && tx > 0 ? TenHzText(tx) : std::string(),
                        rxTone.empty() ? none : rxTone,
                        txTone.empty() ? none : txTone,
                        width ? width->en : "",
                        scan ? scan->en : "",
                        words::kOff.en,
                        power ? power->en : ""};
    std::vector<CellRefusal> refused =
        CheckChannelRow(fields, {m_options.limits, m_options.bandText, m_zh}, m_row.texts, m_row.line, m_row.channel);
    for (const CellRefusal& r : refused) {
      // Only the frequencies can fail here: the other texts were made from
      // the lists. Point at the column the value came from.
      const Col source = r.column == 2 && m_txFromOffset ? kOffset : kFrequency;
      Refuse(source, r.kind, r.columnName + " " + r.text + ": " + r.reason, r.columnName + " " + r.text + "：" + r.reason);
    }
    std::stable_sort(m_row.refusals.begin(), m_row.refusals.end(),
                     [](const CellRefusal& a, const CellRefusal& b) { return a.column < b.column; });
    if (!m_row.refusals.empty()) m_row.texts.fill(std::string());
  }

  void Refuse(Col c, RefusalKind kind, const std::string& en, const std::string& zh) {
    m_row.refusals.push_back({m_row.line, m_row.channel, m_at[c] + 1, kChirpColumns[c], ShownText(Get(c)), kind,
                              InLanguage(m_zh, en, zh)});
  }

  std::string Get(Col c) const {
    const int i = m_at[c];
    return i < 0 || static_cast<std::size_t>(i) >= m_record.size() ? std::string()
                                                                     : TrimBlanks(m_record[static_cast<std::size_t>(i)]);
  }

 private:
  // A frequency column in 10 Hz units; 0 after a refusal.
  std::int64_t ReadFrequency(Col c) {
    const std::int64_t units = ReadFrequencyOrZero(c);
    if (units == 0) Refuse(c, RefusalKind::NotFrequency, "not a frequency in MHz", "不是以MHz为单位的频率");
    return units > 0 ? units : 0;
  }

  std::int64_t ReadRx() { return ReadFrequency(kFrequency); }

  std::int64_t ReadTx(std::int64_t rx) {
    const std::string duplex = Get(kDuplex);
    if (duplex.empty()) return rx;
    if (duplex == "+" || duplex == "-" || SameWord(duplex, "split")) {
      m_txFromOffset = true;
      // With split the Offset column is the transmit frequency itself.
      if (SameWord(duplex, "split")) return ReadFrequency(kOffset);
      const std::int64_t offset = ReadFrequencyOrZero(kOffset);
      if (offset < 0) return 0;
      const std::int64_t tx = duplex == "+" ? rx + offset : rx - offset;
      if (tx <= 0)
        Refuse(kOffset, RefusalKind::OutOfRange, "Frequency - Offset is not above 0 MHz",
               "频率减偏移不大于0 MHz");
      return tx;
    }
    if (SameWord(duplex, "off")) {
      Refuse(kDuplex, RefusalKind::Value,
             "receive only: a channel of this radio always has a transmit frequency",
             "仅接收：本电台的信道必须有发射频率");
      return 0;
    }
    Refuse(kDuplex, RefusalKind::Value, "Duplex is none of empty, +, -, split, off",
           "Duplex不是空、+、-、split或off之一");
    return 0;
  }

  // An offset may be 0 ("+" with 0.000000); -1 after a refusal.
  std::int64_t ReadFrequencyOrZero(Col c) {
    std::int64_t hz = 0;
    if (!ParseDecimalUnits(Get(c), 6, hz)) {
      Refuse(c, RefusalKind::NotFrequency, "not a frequency in MHz", "不是以MHz为单位的频率");
      return -1;
    }
    if (hz % 10 != 0) {
      Refuse(c, RefusalKind::OffStep, "not on a 5 kHz or 6.25 kHz step", "不在5 kHz或6.25 kHz的步进上");
      return -1;
    }
    return hz / 10;
  }

  std::string Ctcss(Col c) {
    std::string tone = ListedCtcss(Get(c));
    if (tone.empty())
      Refuse(c, RefusalKind::NotTone, "not a CTCSS tone of the radio's tone list",
             "不是电台亚音列表中的CTCSS亚音");
    return tone;
  }

  std::string Dcs(Col c, int side) {
    const std::string polarity = Get(kPolarity);
    bool polarityOk = polarity.size() == 2;
    for (char p : polarity) polarityOk = polarityOk && (p == 'N' || p == 'R' || p == 'n' || p == 'r');
    if (!polarityOk) {
      if (!m_polarityRefused)
        Refuse(kPolarity, RefusalKind::Value, "DtcsPolarity is none of NN, NR, RN, RR",
               "DtcsPolarity不是NN、NR、RN或RR之一");
      m_polarityRefused = true;
      return std::string();
    }
    const char letter = polarity[static_cast<std::size_t>(side)];
    std::string code = ListedDcs(Get(c), letter == 'R' || letter == 'r' ? 'I' : 'N');
    if (code.empty())
      Refuse(c, RefusalKind::NotTone, "not a DCS code of the radio's tone list", "不是电台亚音列表中的DCS码");
    return code;
  }

  void ReadTones(std::string& rxTone, std::string& txTone) {
    const std::string none = words::kNone.en;
    rxTone = txTone = none;
    const std::string mode = Get(kTone);
    if (mode.empty()) return;
    if (SameWord(mode, "Tone")) {
      txTone = Ctcss(kRTone);
    } else if (SameWord(mode, "TSQL")) {
      txTone = rxTone = Ctcss(kCTone);
    } else if (SameWord(mode, "DTCS")) {
      txTone = Dcs(kDtcs, 0);
      rxTone = txTone.empty() ? std::string() : Dcs(kDtcs, 1);
    } else if (SameWord(mode, "Cross")) {
      static const char* const kCrossModes[] = {"Tone->Tone", "Tone->DTCS", "DTCS->Tone", "Tone->",
                                                "DTCS->",     "->DTCS",     "->Tone",     "DTCS->DTCS"};
      const std::string cross = Get(kCross);
      bool known = false;
      for (const char* m : kCrossModes) known = known || SameWord(cross, m);
      if (!known) {
        Refuse(kCross, RefusalKind::Value,
               "CrossMode is none of Tone->Tone, Tone->DTCS, DTCS->Tone, Tone->, DTCS->, ->DTCS, ->Tone, DTCS->DTCS",
               "CrossMode不是Tone->Tone、Tone->DTCS、DTCS->Tone、Tone->、DTCS->、->DTCS、->Tone、DTCS->DTCS之一");
        return;
      }
      const std::size_t arrow = cross.find("->");
      const std::string txSide = cross.substr(0, arrow), rxSide = cross.substr(arrow + 2);
      if (SameWord(txSide, "Tone")) txTone = Ctcss(kRTone);
      if (SameWord(txSide, "DTCS")) txTone = Dcs(kDtcs, 0);
      if (SameWord(rxSide, "Tone")) rxTone = Ctcss(kCTone);
      if (SameWord(rxSide, "DTCS")) rxTone = Dcs(kRxDtcs, 1);
    } else {
      Refuse(kTone, RefusalKind::Value, "Tone is none of empty, Tone, TSQL, DTCS, Cross",
             "Tone不是空、Tone、TSQL、DTCS或Cross之一");
    }
  }

  const WordPair* ReadMode() {
    const std::string mode = Get(kMode);
    if (SameWord(mode, "FM")) return &words::kWide;
    if (SameWord(mode, "NFM")) return &words::kNarrow;
    Refuse(kMode, RefusalKind::Value, "Mode is neither FM nor NFM", "Mode不是FM或NFM");
    return nullptr;
  }

  const WordPair* ReadSkip() {
    const std::string skip = Get(kSkip);
    if (skip.empty()) return &words::kYes;
    if (SameWord(skip, "S")) return &words::kNo;
    if (SameWord(skip, "P")) {
      m_row.notes.push_back(InLanguage(m_zh, "Skip P (priority scan): the radio has no priority scan; Scan Yes",
                                       "Skip P（优先扫描）：电台没有优先扫描，扫描为是"));
      return &words::kYes;
    }
    Refuse(kSkip, RefusalKind::Value, "Skip is none of empty, S, P", "Skip不是空、S或P之一");
    return nullptr;
  }

  const WordPair* ReadPower() {
    const std::string power = Get(kPower);
    if (power.empty()) return &words::kHigh;
    if (const WordPair* level = PowerLevel(power)) return level;
    std::int64_t mw = 0;
    if (ParseWatts(power, mw)) {
      const PowerWatts& w = m_options.watts;
      const std::pair<std::int64_t, const WordPair*> levels[] = {
          {w.low, &words::kLow}, {w.middle, &words::kMiddle}, {w.high, &words::kHigh}};
      // The level with exactly these watts, else the nearest (the lower of two
      // as near).
      const WordPair* nearest = levels[0].second;
      std::int64_t distance = -1;
      for (const auto& [watts, level] : levels) {
        const std::int64_t d = watts > mw ? watts - mw : mw - watts;
        if (distance < 0 || d < distance) {
          distance = d;
          nearest = level;
        }
      }
      if (distance != 0)
        m_row.notes.push_back(InLanguage(
            m_zh,
            "power " + ShownText(power) + " is none of this radio's " + WattsText(w.high) + ", " + WattsText(w.middle) +
                ", " + WattsText(w.low) + ": " + nearest->en + ", the nearest",
            "功率" + ShownText(power) + "不是本电台的" + WattsText(w.high) + "、" + WattsText(w.middle) + "、" +
                WattsText(w.low) + "之一：取最接近的" + nearest->zh));
      return nearest;
    }
    Refuse(kPower, RefusalKind::Value, "Power is neither watts (5.0W) nor High, Middle, Low",
           "Power既不是瓦数（5.0W），也不是高、中、低");
    return nullptr;
  }

  void ReadDropped() {
    const std::string name = Get(kName);
    if (!name.empty())
      m_row.notes.push_back(InLanguage(m_zh, "Name \"" + ShownText(name) + "\" dropped: the radio has no channel names",
                                       "名称“" + ShownText(name) + "”未导入：电台没有信道名称"));
    if (!Get(kComment).empty())
      m_row.notes.push_back(InLanguage(m_zh, "Comment dropped", "备注未导入"));
  }

  const CsvRecord& m_record;
  const Columns& m_at;
  const bool m_zh;
  const ImportOptions& m_options;
  ImportRow& m_row;
  bool m_txFromOffset = false;
  bool m_polarityRefused = false;
};

}  // namespace

bool ParseDecimalUnits(const std::string& text, int decimals, std::int64_t& value) {
  if (!IsDecimalText(text)) return false;
  const std::size_t dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  if (whole.size() > 12 && whole.find_first_not_of('0') != std::string::npos &&
      whole.size() - whole.find_first_not_of('0') > 12)
    return false;
  for (std::size_t i = static_cast<std::size_t>(decimals); i < fraction.size(); ++i)
    if (fraction[i] != '0') return false;
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  std::int64_t v = 0;
  for (char c : whole + fraction) v = v * 10 + (c - '0');
  value = v;
  return true;
}

bool IsChirpHeader(const CsvRecord& record) {
  bool location = false, frequency = false;
  for (const std::string& f : record) {
    location = location || TrimBlanks(f) == "Location";
    frequency = frequency || TrimBlanks(f) == "Frequency";
  }
  return location && frequency;
}

bool ChirpReader::ReadHeader(const CsvRecord& header, int line, std::string& error,
                             std::vector<std::string>& fileNotes) {
  const bool zh = m_options.chinese;
  m_at.assign(kColCount, -1);
  m_headerSize = header.size();
  for (std::size_t i = 0; i < header.size(); ++i)
    for (std::size_t c = 0; c < kColCount; ++c)
      if (m_at[c] < 0 && TrimBlanks(header[i]) == kChirpColumns[c]) m_at[c] = static_cast<int>(i);
  std::string missing;
  for (Col c : kRequired) {
    if (m_at[c] < 0) missing += (missing.empty() ? "" : ", ") + kChirpColumns[c];
    m_needed = std::max(m_needed, static_cast<std::size_t>(m_at[c] + 1));
  }
  if (!missing.empty()) {
    error = InLanguage(zh, "line " + std::to_string(line) + ": the header has no column " + missing,
                       "第" + std::to_string(line) + "行：表头缺少列" + missing);
    return false;
  }
  if (m_at[kPower] < 0)
    fileNotes.push_back(InLanguage(zh, "the file has no Power column: every channel imports at High power",
                                   "文件没有Power列：所有信道导入后功率为高"));
  return true;
}

ImportRow ChirpReader::ReadRow(const CsvRecord& record, int line) {
  const bool zh = m_options.chinese;
  ImportRow row;
  row.line = line;
  auto refuseRow = [&](RefusalKind kind, const std::string& en, const std::string& zhText) {
    row.refusals.push_back({row.line, row.channel, 0, "", "", kind, InLanguage(zh, en, zhText)});
  };
  RowReader reader(record, m_at, m_options, row);
  if (IsChirpHeader(record)) {
    refuseRow(RefusalKind::Value, "a second header row", "重复的表头行");
    return row;
  }
  if (record.size() < m_needed) {
    const std::string has = std::to_string(record.size()), header = std::to_string(m_headerSize);
    refuseRow(RefusalKind::FieldCount, "the row has " + has + " fields, the header " + header,
              "此行有" + has + "个字段，表头有" + header + "个");
    return row;
  }
  if (!m_options.renumber) {
    std::int64_t location = 0;
    if (ParseDecimalUnits(reader.Get(kLocation), 0, location) && location >= 1 && location <= kChannelCount)
      row.channel = static_cast<int>(location);
    else
      reader.Refuse(kLocation, RefusalKind::NotChannel, "not a channel 1 to 16", "不是1至16的信道");
    if (row.channel != 0 && m_taken.count(row.channel)) {
      const std::string first = std::to_string(m_taken[row.channel]);
      refuseRow(RefusalKind::ChannelTwice, "channel " + std::to_string(row.channel) + " already comes from line " + first,
                "信道" + std::to_string(row.channel) + "已由第" + first + "行给出");
    } else if (row.channel != 0) {
      m_taken[row.channel] = row.line;
    }
  }
  if (row.refusals.empty()) reader.Read();
  return row;
}

std::string WattsText(std::int64_t mw) {
  std::string fraction = std::to_string(mw % 1000 + 1000).substr(1);  // three digits
  while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
  return std::to_string(mw / 1000) + "." + fraction + "W";
}

PowerWatts RadioWatts(const CSettingsFile& settings, const Image& image) {
  const PowerWatts defaults;
  const std::string text =
      settings.GetValue("Setup", "Watts" + std::to_string(static_cast<int>(image[off::kRadioType]) + 1), "");
  std::int64_t mw[3] = {};
  std::size_t from = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t bar = text.find('|', from);
    if ((bar == std::string::npos) != (i == 2) ||
        !ParseDecimalUnits(TrimBlanks(text.substr(from, bar - from)), 3, mw[i]))
      return defaults;
    from = bar + 1;
  }
  if (!(mw[0] > mw[1] && mw[1] > mw[2] && mw[2] > 0)) return defaults;
  return {mw[0], mw[1], mw[2]};
}

// Tones of the radio's list that CHIRP before 2023 does not list: it
// refuses a row that uses one.
const char* const kTonesOlderChirpLacks[] = {"65.5"};

std::string WriteChirpCsv(const Image& image, std::vector<std::string>* notes, bool chinese,
                          const PowerWatts& watts) {
  std::string out = CsvLine(kChirpColumns);
  std::vector<int> busyChannels, crossChannels;
  std::map<std::string, std::vector<int>> olderLacks;  // tone -> channels
  std::vector<std::string> toneNotes;
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelTexts t = DecodeChannel(image, n, false);
    if (t[0].empty() || t[1].empty()) continue;  // an empty channel
    const std::int64_t rx = ScaleDecimal(t[0], 100000), tx = ScaleDecimal(t[1], 100000);

    CsvRecord row(kColCount);
    row[kLocation] = std::to_string(n);
    row[kFrequency] = SixDecimals(rx);
    const std::int64_t distance = tx > rx ? tx - rx : rx - tx;
    if (distance > 70 * 100000) {
      row[kDuplex] = "split";
      row[kOffset] = SixDecimals(tx);
    } else {
      row[kDuplex] = tx == rx ? "" : tx > rx ? "+" : "-";
      row[kOffset] = SixDecimals(distance);
    }

    // Tones: the Tx side is the Enc column, the Rx side the Dec column.
    struct Side {
      bool none, dcs;
      std::string value;  // a CTCSS text or three DCS digits
      char polarity;      // N or R
    };
    auto side = [&](const std::string& text) {
      if (text == words::kNone.en) return Side{true, false, "", 'N'};
      if (!text.empty() && text[0] == 'D') return Side{false, true, text.substr(1, 3), text.back() == 'I' ? 'R' : 'N'};
      return Side{false, false, text, 'N'};
    };
    const Side txs = side(t[3]), rxs = side(t[2]);
    // Each tone the list lacks is named once for the channel.
    std::vector<std::string> unlisted;
    for (const std::string& tone : {t[2], t[3]})
      if (ListedToneText(tone, false).empty() && std::find(unlisted.begin(), unlisted.end(), tone) == unlisted.end())
        unlisted.push_back(tone);
    if (!unlisted.empty()) {
      const std::string tones = unlisted.size() == 1 ? unlisted[0] : unlisted[0] + (chinese ? "、" : " and ") + unlisted[1];
      toneNotes.push_back(InLanguage(chinese,
                                     ChannelList({n}, false) + ": the tone" + (unlisted.size() > 1 ? "s " : " ") + tones +
                                         (unlisted.size() > 1 ? " are" : " is") +
                                         " not in the radio's tone list; importing the file refuses the channel",
                                     ChannelList({n}, true) + "：亚音" + tones + "不在电台的亚音列表中，导入此文件时该信道会被拒绝"));
    }
    for (const char* lacking : kTonesOlderChirpLacks)
      if ((!txs.none && !txs.dcs && txs.value == lacking) || (!rxs.none && !rxs.dcs && rxs.value == lacking))
        olderLacks[lacking].push_back(n);
    row[kRTone] = row[kCTone] = "88.5";
    row[kDtcs] = row[kRxDtcs] = "023";
    row[kCross] = "Tone->Tone";
    const char txPolarity = txs.dcs ? txs.polarity : 'N', rxPolarity = rxs.dcs ? rxs.polarity : 'N';
    row[kPolarity] = std::string{txPolarity, rxPolarity};
    if (txs.none && rxs.none) {
      row[kTone] = "";
    } else if (!txs.none && !txs.dcs && rxs.none) {
      row[kTone] = "Tone";
      row[kRTone] = txs.value;
    } else if (!txs.none && !txs.dcs && !rxs.none && !rxs.dcs && txs.value == rxs.value) {
      row[kTone] = "TSQL";
      row[kCTone] = txs.value;
    } else if (txs.dcs && rxs.dcs && txs.value == rxs.value) {
      row[kTone] = "DTCS";
      row[kDtcs] = txs.value;
    } else {
      row[kTone] = "Cross";
      const std::string txName = txs.none ? "" : txs.dcs ? "DTCS" : "Tone";
      const std::string rxName = rxs.none ? "" : rxs.dcs ? "DTCS" : "Tone";
      row[kCross] = txName + "->" + rxName;
      if (txs.dcs) row[kDtcs] = txs.value;
      if (!txs.none && !txs.dcs) row[kRTone] = txs.value;
      if (rxs.dcs) row[kRxDtcs] = rxs.value;
      if (!rxs.none && !rxs.dcs) row[kCTone] = rxs.value;
      // CHIRP before 2023 reads only Tone->Tone from the two tone columns.
      if (row[kCross] != "Tone->Tone") crossChannels.push_back(n);
    }

    row[kMode] = t[4] == words::kNarrow.en ? "NFM" : "FM";
    row[kTStep] = rx % 1250 == 0 && tx % 1250 == 0 ? "12.50" : rx % 625 == 0 && tx % 625 == 0 ? "6.25" : "5.00";
    row[kSkip] = t[5] == words::kNo.en ? "S" : "";
    row[kPower] = WattsText(t[7] == words::kLow.en ? watts.low : t[7] == words::kMiddle.en ? watts.middle : watts.high);
    if (t[6] != words::kOff.en) busyChannels.push_back(n);
    out += CsvLine(row);
  }
  if (!notes) return out;
  notes->insert(notes->end(), toneNotes.begin(), toneNotes.end());
  if (!busyChannels.empty())
    notes->push_back(InLanguage(chinese,
                                "Busy Lock is not part of the CHIRP CSV format: " + ChannelList(busyChannels, false) +
                                    " will import with Busy Lock Off",
                                "CHIRP CSV格式没有繁忙锁定：" + ChannelList(busyChannels, true) + "导入后繁忙锁定为关"));
  if (!crossChannels.empty())
    notes->push_back(InLanguage(
        chinese,
        ChannelList(crossChannels, false) + (crossChannels.size() == 1 ? " needs" : " need") +
            " CHIRP from 2023 on: older versions ignore the CrossMode and RxDtcsCode columns and read " +
            (crossChannels.size() == 1 ? "it" : "them") +
            " as Tone->Tone with rToneFreq and cToneFreq (88.5 where unused)",
        ChannelList(crossChannels, true) + "需要2023年起的CHIRP：旧版本忽略CrossMode和RxDtcsCode列，会按rToneFreq和cToneFreq读成Tone->Tone（未用处为88.5）"));
  for (const auto& [tone, channels] : olderLacks)
    notes->push_back(InLanguage(chinese,
                                ChannelList(channels, false) + (channels.size() == 1 ? " uses" : " use") + " the tone " +
                                    tone + ", which CHIRP before 2023 does not list: it refuses " +
                                    (channels.size() == 1 ? "that channel" : "those channels"),
                                ChannelList(channels, true) + "使用亚音" + tone + "，2023年以前的CHIRP没有此亚音，会拒绝这些信道"));
  return out;
}

}  // namespace chanset
