#include "data/OptionMap.h"

#include <cstdio>

namespace chanset {

namespace {

constexpr int kTimeOutSteps = 40;  // 15 s steps up to 600 s
constexpr int kTimeOutStep = 15;
constexpr std::uint8_t kSideKeyMask = 0x30;
constexpr int kSideKeyShift = 4;

const char* const kVoxDelays[] = {"0.3s", "0.5s", "1.0s", "1.5s", "2.0s", "3.0s"};

std::vector<std::string> Numbers(int first, int last, const char* format = "%d") {
  std::vector<std::string> items;
  char buf[16];
  for (int n = first; n <= last; ++n) {
    std::snprintf(buf, sizeof buf, format, n);
    items.emplace_back(buf);
  }
  return items;
}

// Position `index` when it names an item of a list of `count`, else -1.
int Checked(int index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}

}  // namespace

const std::array<OptionInfo, 10>& Options() {
  static const std::array<OptionInfo, 10> kOptions = {{
      // Side Key owns bits 4-5 of its byte; the others own the whole byte.
      {Option::TimeOut, 1118, off::kTimeOut, 0xFF, {"Time Out Time", "超时定时器"}},
      {Option::Squelch, 1116, off::kSquelch, 0xFF, {"Squelch Level", "静噪电平"}},
      {Option::Priority, 1006, off::kPriority, 0xFF, {"Priority Channel", "优先信道"}},
      {Option::Voice, 1119, off::kVoice, 0xFF, {"Voice Annunciation", "语音报号"}},
      {Option::SideKey, 1010, off::kSideKey, kSideKeyMask, {"Side Key", "侧键"}},
      {Option::Vox, 1007, off::kVox, 0xFF, {"VOX", "声控"}},
      {Option::VoxGain, 1121, off::kVoxGain, 0xFF, {"Vox Gain Level", "声控增益电平"}},
      {Option::VoxDelay, 1140, off::kVoxDelay, 0xFF, {"Vox Delay Time", "声控延迟时间"}},
      {Option::Beep, 1141, off::kBeep, 0xFF, {"Beep", "按键音"}},
      {Option::BatterySaver, 1142, off::kBatterySaver, 0xFF, {"Battery Saver", "电池省电"}},
  }};
  return kOptions;
}

const OptionInfo& InfoOf(Option option) {
  for (const OptionInfo& info : Options())
    if (info.option == option) return info;
  return Options()[0];  // not reached: every option is in the table
}

std::vector<std::string> OptionItems(Option option, bool chinese) {
  switch (option) {
    case Option::TimeOut: {
      std::vector<std::string> items;
      for (int i = 1; i <= kTimeOutSteps; ++i) items.push_back(std::to_string(kTimeOutStep * i) + "s");
      return items;
    }
    case Option::Squelch: return Numbers(0, 9);
    case Option::Priority: {
      std::vector<std::string> items{chinese ? "关" : "Off"};
      for (const std::string& n : Numbers(1, kChannelCount)) items.push_back(n);
      return items;
    }
    case Option::Voice:
      if (chinese) return {"关", "中文", "英文"};
      return {"Off", "Chinese", "English"};
    case Option::VoxGain: return Numbers(1, 8);
    case Option::VoxDelay: return {std::begin(kVoxDelays), std::end(kVoxDelays)};
    case Option::Vox:
    case Option::Beep:
    case Option::BatterySaver:
      if (chinese) return {"开", "关"};
      return {"On", "Off"};
    case Option::SideKey:
      if (chinese) return {"关闭", "监听", "监听瞬时", "紧急报警"};
      return {"Off", "Monitor", "Monitor Momentary", "Emergency Alarm"};
  }
  return {};
}

std::string OptionShownText(Option option, const Image& image, bool chinese) {
  const int index = OptionSelection(option, image);
  if (index >= 0) return OptionItems(option, chinese)[static_cast<std::size_t>(index)];
  char buf[16];
  std::snprintf(buf, sizeof buf, "(0x%02X)", image[InfoOf(option).offset]);
  return buf;
}

int OptionSelection(Option option, const Image& image) {
  const int v = image[InfoOf(option).offset];
  int index = -1;
  switch (option) {
    case Option::TimeOut:
    case Option::VoxGain:
      index = v - 1;
      break;
    case Option::Squelch:
    case Option::Priority:
    case Option::Voice:
    case Option::VoxDelay:
      index = v;
      break;
    case Option::Vox:
      index = 1 - v;  // 1 shows "On", 0 "Off", anything else nothing
      break;
    case Option::Beep:
    case Option::BatterySaver:
      index = v != 0 ? 0 : 1;
      break;
    case Option::SideKey:
      index = (v & kSideKeyMask) >> kSideKeyShift;
      break;
  }
  return Checked(index, OptionItems(option, false).size());
}

void StoreOptionSelection(Option option, int index, Image& image) {
  std::uint8_t& byte = image[InfoOf(option).offset];
  switch (option) {
    case Option::TimeOut:
    case Option::VoxGain:
      byte = static_cast<std::uint8_t>(index + 1);
      break;
    case Option::Squelch:
    case Option::Priority:
    case Option::Voice:
    case Option::VoxDelay:
      byte = static_cast<std::uint8_t>(index);  // nothing selected (-1) stores 0xFF
      break;
    case Option::Vox:
    case Option::Beep:
    case Option::BatterySaver:
      byte = index == 0 ? 1 : 0;
      break;
    case Option::SideKey: {
      const int key = index < 0 ? 0 : index & 3;
      byte = static_cast<std::uint8_t>((byte & ~kSideKeyMask) | (key << kSideKeyShift));
      break;
    }
  }
}

}  // namespace chanset
