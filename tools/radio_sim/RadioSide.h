#pragma once
// The radio's side of the clone protocol, fed one received byte at a time.
// It knows nothing of time or devices: the simulator's line model decides
// when bytes arrive and when the answers leave.
#include <bitset>
#include <cstdint>
#include <vector>

#include "data/MemoryImage.h"

namespace radiosim {

// Misbehaviour on request. Block numbers are 0..123.
struct Faults {
  bool silent = false;          // never answers anything
  bool nakStageOne = false;     // answers the magic with 0x15 instead of an ACK
  int stageTwoSilences = 0;     // handshakes whose closing ACK goes unanswered; -1: all
  int shortReplyBlock = -1;     // read reply of 11 bytes instead of 12
  int wrongAckBlock = -1;       // 0x15 instead of the ACK that ends the block
  int hangUpBlock = -1;         // the device disappears when this block's frame arrives
  int corruptWriteBlock = -1;   // a write of this block is acknowledged but stored with a flipped bit
};

struct Reaction {
  std::vector<std::uint8_t> reply;  // bytes to send back
  int turnaroundMs = 0;             // time the radio takes before it starts answering
  bool hangUp = false;              // the device goes away now
  bool writeCompleted = false;      // every block of a write has been stored
  bool transferEnded = false;       // a transfer that passed the handshake is over
  bool dataStart = false;           // the byte was the first data byte of a write block
  int block = -1;                   // the block a frame addressed, for logging
};

class RadioSide {
 public:
  RadioSide(chanset::Image& image, const Faults& faults) : image_(image), faults_(faults) {}

  Reaction Feed(std::uint8_t byte);
  // The client has gone quiet: back to waiting for the magic. True when that
  // ends a transfer that had passed the handshake.
  bool Idle();
  bool Active() const { return phase_ != Phase::WaitMagic; }

 private:
  enum class Phase { WaitMagic, WaitIdentRequest, WaitCloneAck, Blocks, WaitReplyAck };

  void StartSession(Reaction& r);
  void EndSession(Reaction& r);
  void FrameByte(std::uint8_t byte, Reaction& r);
  void CompleteFrame(Reaction& r);

  chanset::Image& image_;
  Faults faults_;
  Phase phase_ = Phase::WaitMagic;
  std::vector<std::uint8_t> window_;  // the last bytes seen, to spot the magic
  std::vector<std::uint8_t> frame_;   // the frame being received in the block phase
  int replyBlock_ = -1;
  std::bitset<chanset::kTransferBlocks> readBlocks_, writtenBlocks_;
};

}  // namespace radiosim
