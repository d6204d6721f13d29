#include "tools/radio_sim/RadioSide.h"

#include <algorithm>
#include <array>

namespace radiosim {

namespace {

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::array<std::uint8_t, 8> kMagic = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'N'};
// What this radio answers to the identification request 02.
constexpr std::array<std::uint8_t, 8> kIdent = {'P', '3', '3', '3', 'S', 'I', 'M', 0x00};
// Switching into clone mode takes the radio a moment. The client discards
// its input right after sending its ACK and only then waits for the answer,
// so an answer quicker than a busy machine's scheduling would be thrown away.
constexpr int kCloneModeTurnaroundMs = 10;

bool IsMagic(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() == kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), bytes.begin());
}

}  // namespace

void RadioSide::StartSession(Reaction& r) {
  if (phase_ == Phase::Blocks || phase_ == Phase::WaitReplyAck) r.transferEnded = true;
  frame_.clear();
  window_.clear();
  readBlocks_.reset();
  writtenBlocks_.reset();
  if (faults_.nakStageOne) {
    r.reply = {kNak};
    phase_ = Phase::WaitMagic;
    return;
  }
  r.reply = {kAck};
  phase_ = Phase::WaitIdentRequest;
}

void RadioSide::EndSession(Reaction& r) {
  r.transferEnded = true;
  phase_ = Phase::WaitMagic;
  frame_.clear();
  window_.clear();
}

bool RadioSide::Idle() {
  bool ended = phase_ == Phase::Blocks || phase_ == Phase::WaitReplyAck;
  phase_ = Phase::WaitMagic;
  frame_.clear();
  window_.clear();
  return ended;
}

Reaction RadioSide::Feed(std::uint8_t byte) {
  Reaction r;
  if (faults_.silent) return r;
  if (phase_ == Phase::Blocks || phase_ == Phase::WaitReplyAck) {
    if (phase_ == Phase::WaitReplyAck) {
      phase_ = Phase::Blocks;
      if (byte == kAck) {
        // ACK after a read reply: 06, answered by 06.
        r.reply = {replyBlock_ == faults_.wrongAckBlock ? kNak : kAck};
        r.block = replyBlock_;
        if (readBlocks_.all()) EndSession(r);
        return r;
      }
    }
    FrameByte(byte, r);
    return r;
  }

  // Handshake: the magic may start over at any point.
  window_.push_back(byte);
  if (window_.size() > kMagic.size()) window_.erase(window_.begin());
  if (IsMagic(window_)) {
    StartSession(r);
    return r;
  }
  switch (phase_) {
    case Phase::WaitIdentRequest:
      if (byte == 0x02) {
        r.reply.assign(kIdent.begin(), kIdent.end());
        phase_ = Phase::WaitCloneAck;
      }
      break;
    case Phase::WaitCloneAck:
      if (byte == kAck) {
        if (faults_.stageTwoSilences != 0) {
          if (faults_.stageTwoSilences > 0) --faults_.stageTwoSilences;
          phase_ = Phase::WaitMagic;
          break;
        }
        r.reply = {kAck};
        r.turnaroundMs = kCloneModeTurnaroundMs;
        phase_ = Phase::Blocks;
        frame_.clear();
      }
      break;
    default:
      break;
  }
  return r;
}

// Frames of the block phase:
//   read request  52 AH AL 08              -> reply 57 AH AL 08 D0..D7, then
//                                             the client's 06 is answered by 06
//   write block   57 AH AL 08 D0..D7       -> 06
//   magic         02 50 52 4F 47 52 41 4E  -> a new session
// Anything else between frames is ignored.
void RadioSide::FrameByte(std::uint8_t byte, Reaction& r) {
  if (frame_.empty() && byte != 'R' && byte != 'W' && byte != 0x02) return;
  frame_.push_back(byte);
  r.dataStart = frame_[0] == 'W' && frame_.size() == 5;
  std::size_t need = frame_[0] == 'R' ? 4 : frame_[0] == 'W' ? 12 : kMagic.size();
  if (frame_.size() == need) CompleteFrame(r);
}

void RadioSide::CompleteFrame(Reaction& r) {
  std::vector<std::uint8_t> frame;
  frame.swap(frame_);
  if (frame[0] == 0x02) {
    if (IsMagic(frame)) StartSession(r);
    return;
  }
  unsigned address = frame[1] * 256u + frame[2];
  if (frame[3] != chanset::kBlockSize || address % chanset::kBlockSize != 0 ||
      address >= chanset::kTransferBytes)
    return;  // not a block this radio serves: no answer
  int block = static_cast<int>(address / chanset::kBlockSize);
  r.block = block;
  if (block == faults_.hangUpBlock) {
    r.hangUp = true;
    return;
  }
  std::uint8_t* data = image_.data() + address;
  if (frame[0] == 'W') {
    std::copy(frame.begin() + 4, frame.end(), data);
    // A bad memory cell: the radio acknowledges the block, but its first
    // byte keeps its lowest bit flipped, so only a read-back can tell.
    if (block == faults_.corruptWriteBlock) data[0] ^= 0x01;
    writtenBlocks_.set(static_cast<std::size_t>(block));
    r.reply = {block == faults_.wrongAckBlock ? kNak : kAck};
    if (writtenBlocks_.all()) {
      r.writeCompleted = true;
      EndSession(r);
    }
    return;
  }
  // Read reply: 57 AH AL 08 D0..D7
  r.reply = {'W', frame[1], frame[2], chanset::kBlockSize};
  r.reply.insert(r.reply.end(), data, data + chanset::kBlockSize);
  if (block == faults_.shortReplyBlock) r.reply.pop_back();
  readBlocks_.set(static_cast<std::size_t>(block));
  replyBlock_ = block;
  phase_ = Phase::WaitReplyAck;
}

}  // namespace radiosim
