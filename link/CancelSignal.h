#pragma once
// A request to stop a transfer that wakes a port blocked in a wait.
//
// The request sets a flag and makes an eventfd readable; SerialPort polls the
// eventfd beside the device, so a read waiting out its time-out ends the
// moment Cancel is asked for instead of at the next step of the protocol.
// Request() is async-signal-safe: a SIGINT handler may call it.
#include <atomic>
#include <string>

namespace chanset {

// "SIGINT", "SIGTERM", "SIGHUP"; "signal N" for any other number.
std::string SignalName(int sig);

class CancelSignal {
 public:
  CancelSignal();
  ~CancelSignal();
  CancelSignal(const CancelSignal&) = delete;
  CancelSignal& operator=(const CancelSignal&) = delete;

  void Request();
  bool Requested() const { return requested_.load(std::memory_order_relaxed); }
  // Withdraws a request, for the next transfer.
  void Reset();
  // Readable once Request() has been called; -1 when no eventfd could be made
  // (ports then notice the flag at their next wait slice).
  int Fd() const { return fd_; }

 private:
  std::atomic<bool> requested_{false};
  int fd_ = -1;
};

}  // namespace chanset
