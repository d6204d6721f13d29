#pragma once
// The ten radio-wide options of the Optional Features dialog: which image
// byte each one lives in, the items its list offers, and the translation
// between a byte value and a list position in both directions.
//
//   0x12F voice prompts      0 off, 1 Chinese, 2 English
//   0x130 time-out timer     1..40 = 15 s .. 600 s
//   0x134 squelch level      0..9
//   0x135 battery saver      0 off, anything else on
//   0x136 key beep           0 off, anything else on
//   0x139 VOX                1 on, 0 off
//   0x13A VOX gain           1..8
//   0x13B VOX delay          0..5 = 0.3 s, 0.5 s, 1.0 s, 1.5 s, 2.0 s, 3.0 s
//   0x161 priority channel   0 off, 1..16 channel
//   0x390 bits 4-5 side key  0 off, 1 monitor, 2 monitor momentary, 3 emergency alarm
//                            (bits 0-3 and 6-7 belong to other settings)
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/ChannelWords.h"
#include "data/MemoryImage.h"

namespace chanset {

enum class Option {
  TimeOut,
  Squelch,
  Priority,
  Voice,
  VoxGain,
  VoxDelay,
  Vox,
  Beep,
  BatterySaver,
  SideKey,
};

struct OptionInfo {
  Option option;
  int listId;          // control id of its list in the dialog
  std::size_t offset;  // image byte
  std::uint8_t bits;   // the bits of that byte the option owns
  WordPair label;      // its label in the dialog ("Time Out Time" / "超时定时器", ...)
};

// All ten options: the left column of the dialog top down, then the right.
const std::array<OptionInfo, 10>& Options();
const OptionInfo& InfoOf(Option option);

// The items of the option's list, in list order, in the chosen language.
// VOX, Beep and Battery Saver offer "On", "Off" (Chinese "开", "关").
std::vector<std::string> OptionItems(Option option, bool chinese);

// The list position that shows `image`'s byte, or -1 when the byte has no
// item (the list then shows no selection).
int OptionSelection(Option option, const Image& image);

// What the dialog shows for `image`'s byte: the selected item, or for a byte
// with no item (the list shows nothing) the byte itself as "(0xFF)".
std::string OptionShownText(Option option, const Image& image, bool chinese);

// Stores list position `index` (-1: nothing selected) into `image`.
// Positions: time-out and VOX gain store index + 1 (so -1 stores 0); the
// other numbered lists store the index itself (-1 stores 0xFF); VOX, Beep
// and Battery Saver store 1 for "On" (index 0) and 0 otherwise; Side Key
// writes bits 4-5 only, taking -1 as 0.
void StoreOptionSelection(Option option, int index, Image& image);

}  // namespace chanset
