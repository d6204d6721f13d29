#pragma once
// A serial device driven through POSIX termios, set up for the radio's clone
// line: 9600 baud, 8 data bits, no parity, one stop bit, raw bytes.
#include <string>

#include <termios.h>

#include "link/CancelSignal.h"
#include "link/Port.h"
#include "link/PortLock.h"

namespace chanset {

// Read and write time-outs of the line, in milliseconds.
//  - A read of N bytes returns as soon as N bytes are there, when
//    `readIntervalMs` pass after a byte without another one, or after
//    readPerByteMs * N + readConstantMs in all, whichever comes first.
//  - A write of N bytes fails when the bytes have not left after
//    writePerByteMs * N + writeConstantMs.
struct PortTimeouts {
  int readIntervalMs = 300;
  int readPerByteMs = 500;
  int readConstantMs = 900;
  int writePerByteMs = 500;
  int writeConstantMs = 500;
};

// The one object that has a port for a transfer: it opens the device,
// keeps every other program out while it is open, configures the line, and
// at Close() leaves the device as it found it.
class SerialPort final : public Port {
 public:
  explicit SerialPort(const PortTimeouts& timeouts = PortTimeouts(), LockPlaces places = LockPlacesFromEnvironment())
      : timeouts_(timeouts), places_(places), lock_(std::move(places)) {}
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens read/write, for this program alone, in this order:
  //   1. a terminal that is no serial line (the controlling terminal, this
  //      program's own, a console) is refused: ENOTTY, `terminal` set;
  //   2. the device's lock file (PortLock): a live owner is refused with
  //      EBUSY naming it; this program's own is written;
  //   3. open() with a non-blocking flock(), which keeps out every program
  //      that takes one (root included): EBUSY; not a terminal: ENOTTY;
  //   4. TIOCEXCL, which refuses later opens by programs that lock nothing
  //      (root excepted);
  //   5. any other process that has the device open: EBUSY naming it.
  // The line settings found are kept for Close().
  bool Open(const std::string& path) override;
  bool Discard() override;
  bool Write(const std::uint8_t* data, std::size_t size) override;
  long Read(std::uint8_t* data, std::size_t size) override;
  // Puts back the line settings found at Open(), clears TIOCEXCL, closes the
  // device and removes the lock file: on every way a transfer ends.
  void Close() override;
  SystemError LastError() const override { return error_; }
  std::vector<std::string> OpenNotes() const override { return lock_.Notes(); }

  bool IsOpen() const { return fd_ >= 0; }

  // From now on a request on `cancel` (which must outlive the port, or be
  // replaced first) ends any wait at once: the call in progress and every
  // later Discard, Write and Read fail with ECANCELED. Null: no cancelling.
  void SetCancel(const CancelSignal* cancel) { cancel_ = cancel; }

 private:
  bool CancelRequested() const { return cancel_ && cancel_->Requested(); }
  bool Fail(int code, const char* what);
  long ReadFailed(int code);
  bool Configure();
  bool WaitUntilSent(long long deadlineNs);

  PortTimeouts timeouts_;
  LockPlaces places_;
  PortLock lock_;
  const CancelSignal* cancel_ = nullptr;
  int fd_ = -1;
  termios found_{};  // the line settings as Open() found them
  bool restore_ = false;
  SystemError error_;
};

// Whether `path` could be opened the way Open() does (a serial line, no
// live lock file, read/write with flock(), nobody else has it open),
// without taking its lock file or touching the line settings. False when
// it cannot; `reason` says why.
bool ProbePort(const std::string& path, SystemError* reason = nullptr,
               const LockPlaces& places = LockPlacesFromEnvironment());

}  // namespace chanset
