// Fuzz target: the clone transfer against a radio whose every answer comes
// from the input, with a host on fake time.
//
// Input: four control bytes, then the replies.
//   [0] bit 0 write (else read), bit 1 the host switches direction after
//       the handshake, bit 2 the port does not open
//   [1] the poll that asks to cancel is number 3*[1] (0: none)
//   [2] answers to the retry question, bit i for the i-th (Cancel after 8)
//   [3] the 2*[3]-th discard or write fails (0: none)
//   then for each read: a length byte L and L bytes; L = 0xFF is a failed
//   line. When the input runs out every read times out.
//
// Invariants: the transfer always ends (bounded port and host calls), the
// port is opened once and closed once after a successful open and not used
// after, the ending, message and row count agree, written blocks carry the
// image's bytes in order, and the image changes only on a completed read,
// then holding exactly the data the radio sent.
#include <algorithm>
#include <cstring>

#include "fuzz/FuzzTarget.h"
#include "link/CloneTransfer.h"

using namespace chanset;

namespace {

constexpr int kMaxCalls = 20000;  // far above any legal transfer

class InputRadio : public Port {
 public:
  InputRadio(const std::uint8_t* data, std::size_t size, bool openFails, int failAt)
      : data_(data), size_(size), openFails_(openFails), failAt_(failAt) {}

  bool Open(const std::string&) override {
    Call();
    FUZZ_CHECK(opens == 0 && closes == 0);
    ++opens;
    if (openFails_) error_ = {2, "no such device"};
    return !openFails_;
  }
  bool Discard() override {
    InUse();
    return !Fails();
  }
  bool Write(const std::uint8_t* data, std::size_t size) override {
    InUse();
    FUZZ_CHECK(size > 0);
    if (Fails()) return false;
    if (pendingData_ >= 0) {
      // The 8 data bytes after a write header: the image's bytes of that block.
      FUZZ_CHECK(size == kBlockSize);
      std::copy(data, data + size, sent.begin() + pendingData_ * kBlockSize);
      pendingData_ = -1;
      return true;
    }
    if (size == 4 && (data[0] == 'R' || data[0] == 'W')) {
      const int block = (data[1] * 256 + data[2]) / kBlockSize;
      FUZZ_CHECK(data[3] == kBlockSize && (data[1] * 256 + data[2]) % kBlockSize == 0);
      FUZZ_CHECK(block == blocks);  // blocks go out once each, in order
      ++blocks;
      if (data[0] == 'W') pendingData_ = block;
      else requested_ = block;
    }
    return true;
  }
  long Read(std::uint8_t* data, std::size_t size) override {
    InUse();
    FUZZ_CHECK(pendingData_ < 0);
    if (pos_ >= size_) return 0;
    const std::size_t length = data_[pos_++];
    if (length == 0xFF) {
      error_ = {5, "Input/output error"};
      return -1;
    }
    const std::size_t available = std::min(length, size_ - pos_);
    const std::size_t n = std::min(available, size);
    std::memcpy(data, data_ + pos_, n);
    pos_ += available;
    if (requested_ >= 0 && size == 12 && n == 12) {
      std::copy(data + 4, data + 12, received.begin() + requested_ * kBlockSize);
      got[static_cast<std::size_t>(requested_)] = true;
    }
    requested_ = -1;
    return static_cast<long>(n);
  }
  void Close() override {
    Call();
    FUZZ_CHECK(opens == 1 && closes == 0);
    ++closes;
  }
  SystemError LastError() const override { return error_; }

  int opens = 0;
  int closes = 0;
  int blocks = 0;  // block headers sent
  std::array<std::uint8_t, kTransferBytes> sent{};
  std::array<std::uint8_t, kTransferBytes> received{};
  std::array<bool, kTransferBlocks> got{};

 private:
  void Call() { FUZZ_CHECK(++calls_ < kMaxCalls); }
  void InUse() {
    Call();
    FUZZ_CHECK(opens == 1 && closes == 0 && !openFails_);
  }
  bool Fails() { return ++writes_ == failAt_; }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool openFails_;
  int failAt_;
  int calls_ = 0;
  int writes_ = 0;
  int pendingData_ = -1;
  int requested_ = -1;
  SystemError error_;
};

class FakeTimeHost : public TransferHost {
 public:
  FakeTimeHost(int cancelAt, std::uint8_t retries, bool switchDirection)
      : cancelAt_(cancelAt), retries_(retries), switch_(switchDirection) {}

  bool Poll() override {
    Call();
    FUZZ_CHECK(!cancelled);  // nothing polls again after a Cancel
    cancelled = ++polls_ == cancelAt_;
    return cancelled;
  }
  bool AskRetry() override {
    Call();
    ++asks;
    return asks <= 8 && ((retries_ >> (asks - 1)) & 1) != 0;
  }
  void Progress(int rows) override {
    Call();
    FUZZ_CHECK(rows == lastRows + 1 && rows <= kTransferRows);
    lastRows = rows;
  }
  void Message(int id, const SystemError&) override {
    Call();
    messages.push_back(id);
  }
  void Sleep(int ms) override {
    Call();
    FUZZ_CHECK(ms >= 0 && ms <= 1000);
    now += ms;
  }
  TransferDirection BlockDirection(TransferDirection chosen) override {
    Call();
    ++directionAsks;
    if (!switch_) return chosen;
    return chosen == TransferDirection::Read ? TransferDirection::Write : TransferDirection::Read;
  }

  bool cancelled = false;
  int asks = 0;
  int lastRows = 0;
  int directionAsks = 0;
  long now = 0;
  std::vector<int> messages;

 private:
  void Call() { FUZZ_CHECK(++calls_ < kMaxCalls); }
  int cancelAt_;
  std::uint8_t retries_;
  bool switch_;
  int calls_ = 0;
  int polls_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const bool write = (data[0] & 1) != 0;
  InputRadio radio(data + 4, size - 4, (data[0] & 4) != 0, data[3] * 2);
  FakeTimeHost host(data[1] * 3, data[2], (data[0] & 2) != 0);

  Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 5);
  const Image before = image;

  const TransferDirection chosen = write ? TransferDirection::Write : TransferDirection::Read;
  const TransferResult r = RunTransfer(radio, host, "/dev/fuzz", chosen, image);

  // Port use.
  FUZZ_CHECK(radio.opens == 1);
  FUZZ_CHECK(radio.closes == (r.end == TransferEnd::OpenFailed ? 0 : 1));

  // The ending and what was shown.
  FUZZ_CHECK(r.ok() == (r.end == TransferEnd::Completed));
  FUZZ_CHECK(r.rows == host.lastRows);
  FUZZ_CHECK(host.directionAsks <= 1);
  if (host.directionAsks == 0) FUZZ_CHECK(r.rows == 0 && radio.blocks == 0 && r.direction == chosen);
  switch (r.end) {
    case TransferEnd::Completed:
      FUZZ_CHECK(r.message == 0 && host.messages.empty());
      FUZZ_CHECK(r.rows == kTransferRows && radio.blocks == kTransferBlocks);
      break;
    case TransferEnd::Cancelled:
      FUZZ_CHECK(host.cancelled && r.message == 0 && host.messages.empty());
      break;
    case TransferEnd::OpenFailed:
      FUZZ_CHECK(r.message == kMsgOpenFailed && host.messages == std::vector<int>{kMsgOpenFailed});
      FUZZ_CHECK(r.reason.code != 0);
      break;
    case TransferEnd::HandshakeFailed:
      FUZZ_CHECK(r.message == kMsgProgramInterrupt && host.messages == std::vector<int>{kMsgProgramInterrupt});
      FUZZ_CHECK(radio.blocks == 0);
      break;
    case TransferEnd::RetryDeclined:
      FUZZ_CHECK(r.message == kMsgCommunicationError && host.messages.empty() && host.asks >= 1);
      FUZZ_CHECK(radio.blocks == 0);
      break;
    case TransferEnd::BlockFailed:
      FUZZ_CHECK(r.message == kMsgProgramInterrupt && host.messages == std::vector<int>{kMsgProgramInterrupt});
      FUZZ_CHECK(r.block >= 0 && r.block < kTransferBlocks && r.block / 2 == r.rows);
      // It failed before its header went out, or after.
      FUZZ_CHECK(r.block == radio.blocks || r.block == radio.blocks - 1);
      break;
  }
  if (r.end != TransferEnd::BlockFailed) FUZZ_CHECK(r.block == -1);
  FUZZ_CHECK(!host.cancelled || r.end == TransferEnd::Cancelled);

  // The image.
  if (r.ok() && r.direction == TransferDirection::Read) {
    for (int k = 0; k < kTransferBlocks; ++k) FUZZ_CHECK(radio.got[static_cast<std::size_t>(k)]);
    FUZZ_CHECK(std::equal(radio.received.begin(), radio.received.end(), image.begin()));
    FUZZ_CHECK(std::equal(image.begin() + kTransferBytes, image.end(), before.begin() + kTransferBytes));
  } else {
    FUZZ_CHECK(image == before);
  }
  if (r.direction == TransferDirection::Write && radio.blocks > 0) {
    // Every block whose data went out carried the image's bytes.
    const int full = r.ok() ? kTransferBlocks : radio.blocks - 1;
    FUZZ_CHECK(std::equal(radio.sent.begin(), radio.sent.begin() + full * kBlockSize, before.begin()));
  }
  return 0;
}

namespace fuzz {

namespace {

void Reply(std::string& s, const std::string& bytes) {
  s += static_cast<char>(bytes.size());
  s += bytes;
}

const std::string kAck("\x06", 1);

// The handshake answers: the ACK to the magic, the identification, the ACK.
std::string Handshake() {
  std::string s;
  Reply(s, kAck);
  Reply(s, "IDENT001");
  Reply(s, kAck);
  return s;
}

std::string ReadScript(std::uint8_t control) {
  std::string s = {static_cast<char>(control), 0, 0, 0};
  s += Handshake();
  for (int k = 0; k < kTransferBlocks; ++k) {
    std::string frame = {'W', static_cast<char>(k * 8 / 256), static_cast<char>(k * 8 % 256), 8};
    for (int i = 0; i < 8; ++i) frame += static_cast<char>(k * 8 + i);
    Reply(s, frame);
    Reply(s, kAck);
  }
  return s;
}

std::string WriteScript() {
  std::string s = {1, 0, 0, 0};
  s += Handshake();
  for (int k = 0; k < kTransferBlocks; ++k) Reply(s, kAck);
  return s;
}

}  // namespace

std::vector<std::string> Seeds() {
  // A stage two without its ACK, retried once.
  std::string retry = {0, 0, 1, 0};
  Reply(retry, kAck);
  Reply(retry, "IDENT001");
  Reply(retry, "");
  retry += ReadScript(0).substr(4);
  std::string cancelled = ReadScript(0);
  cancelled[1] = 40;
  std::string lineGone = WriteScript().substr(0, 200) + "\xFF";
  return {ReadScript(0), WriteScript(), ReadScript(2), retry, cancelled, lineGone, std::string("\x04\0\0\0", 4),
          std::string("\x00\x00\x00\x30", 4) + Handshake()};
}

std::vector<std::string> Tokens() {
  return {kAck, "\x01\x06", "\x08IDENT001", std::string("\x0CW\x01\x00\x08", 5), std::string(1, '\0'),
          "\xFF", "\x0B", "\x0D"};
}

}  // namespace fuzz
