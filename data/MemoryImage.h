#pragma once
// The radio's configuration memory: 1024 bytes, 64 rows of 16 bytes.
//
// Byte map (offsets into the image; every byte not listed is carried unchanged
// between radio, document and file):
//   0x000-0x00F  row 0, never shown or edited
//   0x010-0x10F  channel records 1..16 (channel n at n*16)
//                  +0..3  Rx frequency, packed BCD, 10 Hz units, low pair first
//                  +4..7  Tx frequency, same encoding
//                  +8..9  Rx tone word (low byte first)
//                  +10..11 Tx tone word
//                  +12    flags A: bits 3-4 busy lock (0x00 off, 0x08 carrier, 0x10 QT/DQT)
//                  +13    flags B: bit 4 wide; bits 5-6 power (0x00 low, 0x40 mid, 0x20 high)
//                  +14..15 unused
//   0x12F voice annunciation   0x130 time-out timer     0x134 squelch level
//   0x135 battery saver        0x136 beep               0x139 VOX
//   0x13A VOX gain             0x13B VOX delay          0x161 priority channel
//   0x17E/0x17F scan-list bits of channels 1..8 / 9..16
//   0x1B8 write-back marker, 0x50 after every grid encode
//   0x1BA-0x1BF 0xFF in a new image
//   0x32E radio type index     0x32F frequency band index
//   0x390 side key in bits 4-5
//   0x3E0-0x3F4 power adjustment table (7 sub-ranges x 3 bytes)
// Rows 0..61 (0x000-0x3DF) travel to and from the radio as 124 blocks of 8
// bytes; rows 62 and 63 live only in documents and files.

#include <array>
#include <cstddef>
#include <cstdint>

namespace chanset {

constexpr std::size_t kImageSize = 1024;
constexpr std::size_t kRowSize = 16;
constexpr int kRowCount = 64;
constexpr int kChannelCount = 16;

using Image = std::array<std::uint8_t, kImageSize>;

namespace off {
// Channel record: base and byte positions within it.
constexpr std::size_t channel(int n) { return static_cast<std::size_t>(n) * kRowSize; }
constexpr std::size_t kRxFreq = 0;   // bytes 0..3
constexpr std::size_t kTxFreq = 4;   // bytes 4..7
constexpr std::size_t kRxTone = 8;   // bytes 8..9
constexpr std::size_t kTxTone = 10;  // bytes 10..11
constexpr std::size_t kFlagsA = 12;
constexpr std::size_t kFlagsB = 13;

constexpr std::size_t kVoice = 0x12F;
constexpr std::size_t kTimeOut = 0x130;
constexpr std::size_t kSquelch = 0x134;
constexpr std::size_t kBatterySaver = 0x135;
constexpr std::size_t kBeep = 0x136;
constexpr std::size_t kVox = 0x139;
constexpr std::size_t kVoxGain = 0x13A;
constexpr std::size_t kVoxDelay = 0x13B;
constexpr std::size_t kPriority = 0x161;
constexpr std::size_t kScanBits = 0x17E;  // and 0x17F
constexpr std::size_t kWriteBack = 0x1B8;
constexpr std::size_t kRadioType = 0x32E;
constexpr std::size_t kBand = 0x32F;
constexpr std::size_t kSideKey = 0x390;
constexpr std::size_t kPowerTable = 0x3E0;
}  // namespace off

// Flag bits of a channel record.
constexpr std::uint8_t kBusyMask = 0x18;
constexpr std::uint8_t kBusyCarrier = 0x08;
constexpr std::uint8_t kBusyQt = 0x10;
constexpr std::uint8_t kWideBit = 0x10;
constexpr std::uint8_t kPowerMask = 0x60;
constexpr std::uint8_t kPowerHigh = 0x20;
constexpr std::uint8_t kPowerMiddle = 0x40;
constexpr std::uint8_t kWriteBackMarker = 0x50;

// The part of the image that crosses the wire.
constexpr int kTransferRows = 62;
constexpr int kBlockSize = 8;
constexpr int kTransferBlocks = kTransferRows * 2;  // 124
constexpr std::size_t kTransferBytes = kTransferRows * kRowSize;  // 992

// Fills an image with the contents of a new document.
void MakeNewImage(Image& image);
Image NewImage();

// Scan-list membership of channel n (1..16).
bool ScanBit(const Image& image, int channel);
void SetScanBit(Image& image, int channel, bool scanned);

}  // namespace chanset
