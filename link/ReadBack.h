#pragma once
// The check after a write: the radio is read back and rows 0..61 are
// compared with what was sent, byte for byte.
//
//   write completed --> read back --> every byte of rows 0..61 equal   Verified
//                                 \-> some byte differs                Differs
//                   \-> read-back failed or was cancelled              NotVerified
//
// NotVerified is not a failed write: the write itself completed, so the
// radio holds what was written, only unchecked. A write that failed is never
// read back.
#include <string>

#include "data/MemoryImage.h"
#include "link/CloneTransfer.h"
#include "link/Port.h"

namespace chanset {

class TraceSink;

enum class VerifyEnd {
  Verified,     // the radio holds rows 0..61 exactly as sent
  Differs,      // read back completely, and some byte of rows 0..61 differs
  NotVerified,  // the read-back failed or was cancelled
};

struct ReadBackResult {
  VerifyEnd end = VerifyEnd::NotVerified;
  TransferResult transfer;  // how the read-back ended
  // The message the read-back ended with (61451, 61453 or 61454; 0 when
  // none, as after Cancel). It was held back, not shown: the caller reports
  // it as the reason the write is not verified.
  int message = 0;
  SystemError reason;  // the port's reason behind it (code 0 when none)
  // Rows 0..61 as read back when the read-back completed (otherwise those
  // sent); rows 62..63 always those sent. A complete .dat of the radio.
  Image image{};

  bool complete() const { return transfer.ok(); }
};

// Reads the radio on `path` back after a completed write of `sent`, traced
// into `trace` when it is open. The read-back goes through `host` as any
// read does: its polls (Cancel), pauses, progress (1..62 again) and the
// Retry question. Its block loop always reads, whatever direction the host
// answers, and its ending message is returned instead of shown.
ReadBackResult ReadBackWritten(Port& port, TransferHost& host, TraceSink* trace, const std::string& path,
                               const Image& sent);

}  // namespace chanset
