#pragma once
// Whole channels as units: what Cut, Delete, Move Up / Move Down and dragging
// rows do to the image. A channel is its 16-byte record and its scan-list bit;
// it always moves as one.
//
// They work on the image: the channel view encodes its grid into the image
// first, keeps the image before the change for the undo history, and
// refreshes the grid from the image afterwards.
//
// Channel lists given to these functions are channel numbers 1..16 in any
// order, duplicates ignored; numbers outside 1..16 make the call do nothing.
#include <array>
#include <cstdint>
#include <vector>

#include "data/MemoryImage.h"

namespace chanset {

struct ChannelRecord {
  std::array<std::uint8_t, kRowSize> bytes{};  // record bytes 0..15
  bool scan = false;                           // the scan-list bit
  bool operator==(const ChannelRecord& o) const { return bytes == o.bytes && scan == o.scan; }
  bool operator!=(const ChannelRecord& o) const { return !(*this == o); }
};

ChannelRecord ReadChannelRecord(const Image& image, int channel);
void WriteChannelRecord(Image& image, int channel, const ChannelRecord& record);

// Empties the channels as clearing their Rx cell does: the encoder's bytes
// of an empty row (no frequencies, no tones, wide, scanned, busy lock
// QT/DQT, high power; bits it does not own and bytes 14-15 stay).
// Returns false (and changes nothing) for an empty or invalid list.
bool ClearChannels(Image& image, const std::vector<int>& channels);

// Move Up: every selected channel changes place with the channel above the
// selection's runs, so a block of rows moves up by one and the row above it
// goes below it. Refused (false, nothing changes) when channel 1 is
// selected. `channels` becomes the new places of the selection.
bool MoveChannelsUp(Image& image, std::vector<int>& channels);
// Move Down: the same downwards; refused when channel 16 is selected.
bool MoveChannelsDown(Image& image, std::vector<int>& channels);

// Dragging: takes the selected channels out, in channel order, and puts them
// back as one block before the channel that was at `target` (1..16), or at
// the end for 17; the other channels close up around them in their order.
// `channels` becomes the block's new places. Returns false when nothing
// moves (the drop lands where the block already is, or an invalid call).
bool MoveChannelsTo(Image& image, std::vector<int>& channels, int target);

}  // namespace chanset
