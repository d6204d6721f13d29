#pragma once
// The words of the channel grid in both languages: the column titles and the
// choice words the codec writes and accepts. The grid's drop-down lists, the
// CSV import and the printed report take their texts from here as well.
#include <array>
#include <string>

namespace chanset {

// One built-in text in English and in Chinese (UTF-8).
struct WordPair {
  const char* en;
  const char* zh;

  const char* In(bool chinese) const { return chinese ? zh : en; }
  // Exact, case-sensitive match against either language.
  bool Matches(const std::string& text) const { return text == en || text == zh; }
};

namespace words {
inline constexpr WordPair kNone{"None", "无"};        // no tone
inline constexpr WordPair kWide{"Wide", "宽"};
inline constexpr WordPair kNarrow{"Narrow", "窄"};
inline constexpr WordPair kYes{"Yes", "是"};          // in the scan list
inline constexpr WordPair kNo{"No", "否"};
inline constexpr WordPair kOff{"Off", "关"};          // busy lock
inline constexpr WordPair kCarrier{"Carrier", "载波"};
inline constexpr WordPair kQtDqt{"QT/DQT", "QT/DQT"};
inline constexpr WordPair kHigh{"High", "高"};        // power
inline constexpr WordPair kMiddle{"Middle", "中"};
inline constexpr WordPair kLow{"Low", "低"};
}  // namespace words

// The choices of each choice column in the order their lists show them.
inline constexpr std::array<WordPair, 2> kWidthChoices{words::kWide, words::kNarrow};
inline constexpr std::array<WordPair, 2> kScanChoices{words::kYes, words::kNo};
inline constexpr std::array<WordPair, 3> kBusyChoices{words::kOff, words::kCarrier, words::kQtDqt};
inline constexpr std::array<WordPair, 3> kPowerChoices{words::kHigh, words::kMiddle, words::kLow};

// Grid columns: 0 is the channel number, 1..8 the channel texts.
constexpr int kGridColumns = 9;
inline constexpr std::array<WordPair, kGridColumns> kColumnTitles{{
    {"CH", "信道"},
    {"Rx Frequency", "接收频率"},
    {"Tx Frequency", "发射频率"},
    {"QT/DQT Dec", "QT/DQT解码"},
    {"QT/DQT Enc", "QT/DQT编码"},
    {"W/N", "宽/窄"},
    {"Scan", "扫描"},
    {"Busy Lock", "繁忙锁定"},
    {"Power", "功率"},
}};

}  // namespace chanset
