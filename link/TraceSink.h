#pragma once
// A log of everything a transfer does on the wire, for support: one line per
// event, written the moment it happens (a crash keeps what came before).
//
//   # <header text>
//          0 OPEN /dev/ttyUSB0
//          0 LOCK locked /run/lock/LCK..ttyUSB0
//       1043 PAUSE 1 ms
//       2187 DISCARD
//       4420 TX 02
//    1405873 RX - (0 of 1)
//      10871 RX 57 00 08 08 31 32 33 34 35 36 37 38
//     912334 ERROR read: Input/output error
//     912400 CLOSE
//
// The first column is the time since the port was opened, in microseconds.
// TX lines are stamped when the bytes are handed to the port, RX lines when
// the read returns; an RX that got fewer bytes than it asked for says how
// many of how many ("-" when none arrived). LOCK lines say what became of
// the port's lock file: taken, a stale one removed, or why there is none.
//
// A trace is a log: it is appended to, never truncated, and opened by the
// rules of platform/AtomicFile.h's AppendFile (a regular file, links by the
// kernel's rule, a pipe or a device refused at once; /dev/stderr and the
// like written through their descriptor). A write that fails ends the
// trace: the transfer goes on unchanged, and the caller warns once with
// Failure() and LinesLost().
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

#include "link/CloneTransfer.h"
#include "link/Port.h"

namespace chanset {

class TraceSink {
 public:
  TraceSink() = default;
  ~TraceSink();
  TraceSink(const TraceSink&) = delete;
  TraceSink& operator=(const TraceSink&) = delete;

  // Opens `path` to append to, creating it when missing. False with
  // `error` (naming the path) when it cannot be.
  bool Open(const std::string& path, std::string* error = nullptr);
  bool IsOpen() const { return file_.IsOpen(); }
  void Close();
  const std::string& Path() const { return file_.Path(); }
  // Why the trace stopped ("" while it has not) and how many lines it lost.
  const std::string& Failure() const { return file_.Failure(); }
  std::size_t LinesLost() const { return file_.LinesLost(); }

  // "# text", unstamped.
  void Header(const std::string& text);
  // Starts the clock: events are stamped from this moment.
  void StartClock();
  // One event line: `what`, then the bytes in hex when there are any.
  void Event(const char* what, const std::uint8_t* data = nullptr, std::size_t size = 0,
             const std::string& note = std::string());

 private:
  AppendFile file_;
  long long originNs_ = 0;
};

// A port that logs every call of another one into a sink.
class TracingPort final : public Port {
 public:
  TracingPort(Port& inner, TraceSink& sink) : inner_(inner), sink_(sink) {}
  bool Open(const std::string& path) override;
  bool Discard() override;
  bool Write(const std::uint8_t* data, std::size_t size) override;
  long Read(std::uint8_t* data, std::size_t size) override;
  void Close() override;
  SystemError LastError() const override { return inner_.LastError(); }
  std::vector<std::string> OpenNotes() const override { return inner_.OpenNotes(); }

 private:
  void Failed();

  Port& inner_;
  TraceSink& sink_;
  bool open_ = false;
};

// A host that logs the protocol's pauses and passes everything on.
class TracingHost final : public TransferHost {
 public:
  TracingHost(TransferHost& inner, TraceSink& sink) : inner_(inner), sink_(sink) {}
  bool Poll() override { return inner_.Poll(); }
  bool AskRetry() override;
  void Progress(int rows) override { inner_.Progress(rows); }
  void Message(int id, const SystemError& reason) override { inner_.Message(id, reason); }
  void Sleep(int ms) override;
  TransferDirection BlockDirection(TransferDirection chosen) override { return inner_.BlockDirection(chosen); }

 private:
  TransferHost& inner_;
  TraceSink& sink_;
};

// Why `trace` cannot be the trace of a transfer: it is, or leads to, one of
// the transfer's `files` (its input or output) or one of its `ports` (the
// port, or another radio's). "" when it can. Looked at before anything is
// opened.
std::string TraceClash(const std::string& trace, const std::vector<std::string>& files,
                       const std::vector<std::string>& ports);

// RunTransfer, logged into `sink` when it is open (a header line naming the
// direction and the device first); exactly RunTransfer otherwise.
TransferResult RunTracedTransfer(Port& port, TransferHost& host, TraceSink* sink, const std::string& path,
                                 TransferDirection direction, Image& image);

}  // namespace chanset
