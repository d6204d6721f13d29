#pragma once
// The clone transfer: copies image rows 0..61 between the document and the
// radio over a serial line, in one direction.
//
// It runs synchronously in the calling thread and keeps no state of its own
// outside the call, so the GUI can run it on a worker thread (its host then
// marshals AskRetry and Message to the user-interface thread), while the CLI,
// the simulator's tests and the unit tests call it directly.
#include <string>

#include "data/MemoryImage.h"
#include "link/Port.h"

namespace chanset {

// Message ids of the string table shown by a transfer.
constexpr int kMsgCommunicationError = 61451;  // stage two without ACK; Retry/Cancel
constexpr int kMsgOpenFailed = 61453;          // the port cannot be opened
constexpr int kMsgProgramInterrupt = 61454;    // stage one failed, or a block step failed

enum class TransferDirection { Read, Write };

// What the transfer needs from its surroundings.
class TransferHost {
 public:
  virtual ~TransferHost() = default;
  // One look at the user: keep the interface responsive and answer whether
  // Cancel was asked for. The transfer then closes the port and ends
  // without a message.
  virtual bool Poll() = 0;
  // Shows message 61451 with Retry and Cancel and waits for the answer;
  // true for Retry.
  virtual bool AskRetry() = 0;
  // `rows` image rows are done (1..62), after every row.
  virtual void Progress(int rows) = 0;
  // Shows message `id` with an OK button and waits until it is closed. The
  // port's reason (code 0 when there is none) may be shown beside it.
  virtual void Message(int id, const SystemError& reason) = 0;
  // Pauses for `ms` milliseconds (tests pass fake time).
  virtual void Sleep(int ms) = 0;
  // Asked once after the handshake: the direction of the block loop. The
  // user may have chosen the other direction while the handshake ran.
  virtual TransferDirection BlockDirection(TransferDirection chosen) { return chosen; }
};

enum class TransferEnd {
  Completed,        // all 124 blocks went through
  Cancelled,        // Cancel seen at a poll, or a port call ended by a
                    // Cancel request (ECANCELED); no message
  OpenFailed,       // message 61453
  HandshakeFailed,  // message 61454: stage one failed four times, or the line failed
  RetryDeclined,    // the user answered Cancel to message 61451
  BlockFailed,      // message 61454 at block `block`
};

struct TransferResult {
  TransferEnd end = TransferEnd::Completed;
  TransferDirection direction = TransferDirection::Read;  // the block loop's direction
  int message = 0;   // id of the last message shown, 0 when none
  int block = -1;    // BlockFailed: the block 0..123 that failed
  int rows = 0;      // rows completed in the block loop
  SystemError reason;  // the port's reason behind the ending, when there is one

  bool ok() const { return end == TransferEnd::Completed; }
};

// Opens `path` on `port`, performs the handshake and the block loop, and
// closes the port again on every ending. A read replaces image rows 0..61
// only when all 124 blocks arrived; otherwise `image` is left as it was. A
// write sends rows 0..61 and leaves `image` unchanged. Rows 62 and 63 never
// change. The caller must not touch `image` while the transfer runs.
TransferResult RunTransfer(Port& port, TransferHost& host, const std::string& path,
                           TransferDirection direction, Image& image);

}  // namespace chanset
