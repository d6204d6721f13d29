#include "editor/ChannelBlocks.h"

#include <algorithm>

#include "data/ChannelCodec.h"

namespace chanset {

namespace {

// The list sorted, without duplicates; false when empty or out of range.
bool Normalise(std::vector<int>& channels) {
  std::sort(channels.begin(), channels.end());
  channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
  return !channels.empty() && channels.front() >= 1 && channels.back() <= kChannelCount;
}

void Swap(Image& image, int a, int b) {
  const ChannelRecord ra = ReadChannelRecord(image, a);
  WriteChannelRecord(image, a, ReadChannelRecord(image, b));
  WriteChannelRecord(image, b, ra);
}

}  // namespace

ChannelRecord ReadChannelRecord(const Image& image, int channel) {
  ChannelRecord record;
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(off::channel(channel)), kRowSize, record.bytes.begin());
  record.scan = ScanBit(image, channel);
  return record;
}

void WriteChannelRecord(Image& image, int channel, const ChannelRecord& record) {
  std::copy(record.bytes.begin(), record.bytes.end(),
            image.begin() + static_cast<std::ptrdiff_t>(off::channel(channel)));
  SetScanBit(image, channel, record.scan);
}

bool ClearChannels(Image& image, const std::vector<int>& list) {
  std::vector<int> channels = list;
  if (!Normalise(channels)) return false;
  for (int n : channels) EncodeChannel(ChannelTexts{}, image, n);
  return true;
}

bool MoveChannelsUp(Image& image, std::vector<int>& channels) {
  if (!Normalise(channels) || channels.front() == 1) return false;
  // In ascending order each selected channel takes the place above it; the
  // unselected channel above a run ends up below it.
  for (int& n : channels) {
    Swap(image, n - 1, n);
    --n;
  }
  return true;
}

bool MoveChannelsDown(Image& image, std::vector<int>& channels) {
  if (!Normalise(channels) || channels.back() == kChannelCount) return false;
  for (auto it = channels.rbegin(); it != channels.rend(); ++it) {
    Swap(image, *it, *it + 1);
    ++*it;
  }
  return true;
}

bool MoveChannelsTo(Image& image, std::vector<int>& channels, int target) {
  if (!Normalise(channels) || target < 1 || target > kChannelCount + 1) return false;
  std::vector<int> order;  // the channel that ends up at each place
  std::vector<int> rest;
  int insertAt = 0;  // the block's place among the others
  for (int n = 1; n <= kChannelCount; ++n) {
    if (n == target) insertAt = static_cast<int>(rest.size());
    if (!std::binary_search(channels.begin(), channels.end(), n)) rest.push_back(n);
  }
  if (target == kChannelCount + 1) insertAt = static_cast<int>(rest.size());
  order = rest;
  order.insert(order.begin() + insertAt, channels.begin(), channels.end());

  bool moved = false;
  for (int place = 1; place <= kChannelCount; ++place) moved = moved || order[place - 1] != place;
  if (!moved) return false;

  const Image before = image;
  for (int place = 1; place <= kChannelCount; ++place)
    WriteChannelRecord(image, place, ReadChannelRecord(before, order[static_cast<std::size_t>(place - 1)]));
  for (std::size_t i = 0; i < channels.size(); ++i) channels[i] = insertAt + 1 + static_cast<int>(i);
  return true;
}

}  // namespace chanset
