#pragma once
// A serial device driven through POSIX termios, set up for the radio's clone
// line: 9600 baud, 8 data bits, no parity, one stop bit, raw bytes.
#include <string>

#include "link/CancelSignal.h"
#include "link/Port.h"

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

class SerialPort final : public Port {
 public:
  SerialPort() = default;
  explicit SerialPort(const PortTimeouts& timeouts) : timeouts_(timeouts) {}
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens read/write and exclusive: a non-blocking flock() keeps every other
  // program out (root included), TIOCEXCL additionally refuses other opens
  // of the device by non-root users. Fails with ENOTTY for a path that is not
  // a terminal device and EBUSY when another program holds the port.
  bool Open(const std::string& path) override;
  bool Discard() override;
  bool Write(const std::uint8_t* data, std::size_t size) override;
  long Read(std::uint8_t* data, std::size_t size) override;
  void Close() override;
  SystemError LastError() const override { return error_; }

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
  const CancelSignal* cancel_ = nullptr;
  int fd_ = -1;
  SystemError error_;
};

// Opens `path` the way Open() does (read/write, exclusive, without waiting
// for a carrier) and releases it at once, without touching the line
// settings. False when it cannot be opened; `reason` says why.
bool ProbePort(const std::string& path, SystemError* reason = nullptr);

// A short English hint for the usual reasons a port cannot be used, or an
// empty text: EACCES (the user lacks the dialout group), ENOENT (nothing
// plugged in), EBUSY/EWOULDBLOCK (another program holds the port), ENOTTY.
std::string PortErrorHint(int code);

}  // namespace chanset
