#include "dialogs/PowerTable.h"

#include "data/ChannelCodec.h"

namespace chanset {

namespace {
constexpr long kMaxByte = 255;
}

std::size_t PowerCellOffset(int start, int row, int col) {
  return off::kPowerTable + static_cast<std::size_t>(start + kPowerColumns * (row - 1) + (col - 1));
}

std::array<std::string, kPowerColumns> PowerColumnTitles(bool chinese) {
  if (chinese) return {"低功率", "中功率", "高功率"};
  return {"Low Power", "Middle Power", "High Power"};
}

std::string PowerCellText(std::uint8_t value) { return std::to_string(value); }

long PowerTextValue(const std::string& text) { return static_cast<long>(ParseLeadingInteger(text)); }

std::string CommittedPowerText(const std::string& typed) {
  const long value = PowerTextValue(typed);
  if (value > kMaxByte) return std::to_string(kMaxByte);
  if (value < 0) return "0";
  return typed;
}

std::uint8_t PowerByte(const std::string& text) {
  const long value = PowerTextValue(text);
  if (value < 0) return 0;
  if (value > kMaxByte) return static_cast<std::uint8_t>(kMaxByte);
  return static_cast<std::uint8_t>(value);
}

}  // namespace chanset
