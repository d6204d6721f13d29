#include "link/CloneTransfer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

namespace chanset {

namespace {

using Byte = std::uint8_t;

constexpr Byte kAck = 0x06;
// Clone-mode magic: 02 50 52 4F 47 52 41 4E (0x02, then "PROGRAN").
constexpr std::array<Byte, 8> kMagic = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'N'};
// Identification request: 02. The radio answers with 8 bytes that are
// neither examined nor kept.
constexpr Byte kIdentRequest = 0x02;
constexpr std::size_t kIdentSize = 8;
constexpr int kStageOneAttempts = 4;
constexpr int kHandshakePolls = 10;
constexpr int kRowPolls = 5;
// Read reply: 4-byte header (not examined) + 8 data bytes.
constexpr std::size_t kReplySize = 12;
constexpr std::size_t kReplyHeader = 4;

class Transfer {
 public:
  Transfer(Port& port, TransferHost& host) : port_(port), host_(host) {}

  TransferResult Run(const std::string& path, TransferDirection direction, Image& image);

 private:
  enum class Step { Next, Cancelled, Failed };

  Step Polls(int count, int pauseMs);
  bool StageOne();
  bool StageTwo();
  bool ReadAck();
  bool WriteBytes(const Byte* data, std::size_t size) { return port_.Write(data, size); }
  bool WriteByte(Byte b) { return port_.Write(&b, 1); }
  bool ReadBlock(int block, Image& scratch);
  bool WriteBlock(int block, const Image& image);

  TransferResult End(TransferEnd end, int message);
  // Notes that a port call failed (rather than timed out); returns false.
  bool LineFailed() {
    lineFailed_ = true;
    return false;
  }

  Port& port_;
  TransferHost& host_;
  TransferResult result_;
  bool lineFailed_ = false;  // a port call failed, rather than timed out
};

// Polls `count` times; a pause of `pauseMs` follows each look.
Transfer::Step Transfer::Polls(int count, int pauseMs) {
  for (int i = 0; i < count; ++i) {
    if (host_.Poll()) return Step::Cancelled;
    if (pauseMs > 0) host_.Sleep(pauseMs);
  }
  return Step::Next;
}

// Reads one byte; true only when a byte arrived in time and it is an ACK.
bool Transfer::ReadAck() {
  Byte b = 0;
  long n = port_.Read(&b, 1);
  if (n < 0) lineFailed_ = true;
  return n == 1 && b == kAck;
}

// Stage one: up to four attempts of the magic, each answered by an ACK.
bool Transfer::StageOne() {
  for (int attempt = 0; attempt < kStageOneAttempts; ++attempt) {
    if (!port_.Discard()) return LineFailed();
    // The magic goes out one byte per write, each after a 2 ms pause:
    // 02 | 50 | 52 | 4F | 47 | 52 | 41 | 4E
    for (Byte b : kMagic) {
      host_.Sleep(2);
      if (!WriteByte(b)) return LineFailed();
    }
    if (ReadAck()) return true;
    if (lineFailed_) return false;
  }
  return false;
}

// Stage two: identification request and the ACK exchange that puts the
// radio into clone mode.
bool Transfer::StageTwo() {
  host_.Sleep(1);
  if (!port_.Discard()) return LineFailed();
  // Identification request: 02
  if (!WriteByte(kIdentRequest)) return LineFailed();
  host_.Sleep(1);
  std::array<Byte, kIdentSize> ident{};
  if (port_.Read(ident.data(), ident.size()) < 0) return LineFailed();
  if (!port_.Discard()) return LineFailed();
  // ACK: 06
  if (!WriteByte(kAck)) return LineFailed();
  if (!port_.Discard()) return LineFailed();
  host_.Sleep(1);
  return ReadAck();
}

// Block k carries image bytes 8k..8k+7 under the radio address 8k, sent as
// 16 bits, high byte first.
static void PutAddress(Byte* frame, int block) {
  unsigned address = static_cast<unsigned>(block) * kBlockSize;
  frame[1] = static_cast<Byte>(address / 256);
  frame[2] = static_cast<Byte>(address % 256);
}

bool Transfer::ReadBlock(int block, Image& scratch) {
  if (block % 2 == 1) host_.Sleep(1);  // before the second block of a row
  if (!port_.Discard()) return LineFailed();
  // Read request: 52 AH AL 08 ('R', address high, address low, length 8)
  Byte request[4] = {'R', 0, 0, kBlockSize};
  PutAddress(request, block);
  if (!WriteBytes(request, sizeof request)) return LineFailed();
  // Read reply: 4 header bytes (57 AH AL 08 from the radio, not examined),
  // then the 8 data bytes.
  std::array<Byte, kReplySize> reply{};
  long n = port_.Read(reply.data(), reply.size());
  if (n < 0) lineFailed_ = true;
  if (n != static_cast<long>(kReplySize)) return false;
  for (int i = 0; i < kBlockSize; ++i)
    scratch[static_cast<std::size_t>(block * kBlockSize + i)] = reply[kReplyHeader + static_cast<std::size_t>(i)];
  host_.Sleep(1);
  if (!port_.Discard()) return LineFailed();
  // ACK: 06, answered by an ACK
  if (!WriteByte(kAck)) return LineFailed();
  return ReadAck();
}

bool Transfer::WriteBlock(int block, const Image& image) {
  if (!port_.Discard()) return LineFailed();
  // Write block: 57 AH AL 08 ('W', address high, address low, length 8),
  // a 1 ms pause, then the 8 data bytes D0..D7 in a second write; the radio
  // answers with an ACK.
  Byte header[4] = {'W', 0, 0, kBlockSize};
  PutAddress(header, block);
  if (!WriteBytes(header, sizeof header)) return LineFailed();
  host_.Sleep(1);
  if (!WriteBytes(image.data() + block * kBlockSize, kBlockSize)) return LineFailed();
  return ReadAck();
}

TransferResult Transfer::End(TransferEnd end, int message) {
  // A port call ended by a Cancel request: the transfer stops as at a poll
  // that saw Cancel, with no message.
  if (lineFailed_ && port_.LastError().code == ECANCELED) {
    end = TransferEnd::Cancelled;
    message = 0;
    lineFailed_ = false;
  }
  result_.end = end;
  result_.message = message;
  if (lineFailed_ || end == TransferEnd::OpenFailed) result_.reason = port_.LastError();
  // The message is shown while the port is still held; it is released after.
  if (message != 0 && end != TransferEnd::RetryDeclined) host_.Message(message, result_.reason);
  if (end != TransferEnd::OpenFailed) port_.Close();
  return result_;
}

TransferResult Transfer::Run(const std::string& path, TransferDirection direction, Image& image) {
  result_.direction = direction;
  if (!port_.Open(path)) return End(TransferEnd::OpenFailed, kMsgOpenFailed);

  // Handshake cycle; Retry at message 61451 starts it again from the polls.
  for (;;) {
    if (Polls(kHandshakePolls, 1) == Step::Cancelled) return End(TransferEnd::Cancelled, 0);
    if (!StageOne()) return End(TransferEnd::HandshakeFailed, kMsgProgramInterrupt);
    if (StageTwo()) break;
    // A failed line (the device is gone) ends at once: asking to retry on a
    // dead line cannot help.
    if (lineFailed_) return End(TransferEnd::HandshakeFailed, kMsgProgramInterrupt);
    if (!host_.AskRetry()) return End(TransferEnd::RetryDeclined, kMsgCommunicationError);
  }

  direction = host_.BlockDirection(direction);
  result_.direction = direction;

  // A read fills a scratch copy; the image changes only once every block
  // has arrived, so a failed or cancelled read leaves it as it was.
  Image scratch = image;
  for (int row = 0; row < kTransferRows; ++row) {
    for (int half = 0; half < 2; ++half) {
      int block = row * 2 + half;
      bool ok = direction == TransferDirection::Read ? ReadBlock(block, scratch) : WriteBlock(block, image);
      if (!ok) {
        result_.block = block;
        return End(TransferEnd::BlockFailed, kMsgProgramInterrupt);
      }
    }
    result_.rows = row + 1;
    host_.Progress(row + 1);
    if (Polls(kRowPolls, 0) == Step::Cancelled) return End(TransferEnd::Cancelled, 0);
  }
  if (direction == TransferDirection::Read)
    std::copy(scratch.begin(), scratch.begin() + static_cast<long>(kTransferBytes), image.begin());
  return End(TransferEnd::Completed, 0);
}

}  // namespace

TransferResult RunTransfer(Port& port, TransferHost& host, const std::string& path,
                           TransferDirection direction, Image& image) {
  return Transfer(port, host).Run(path, direction, image);
}

}  // namespace chanset
