#include "link/CancelSignal.h"

#include <csignal>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace chanset {

std::string SignalName(int sig) {
  switch (sig) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal " + std::to_string(sig);
  }
}

static_assert(std::atomic<bool>::is_always_lock_free, "Request() must be usable from a signal handler");

CancelSignal::CancelSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelSignal::~CancelSignal() {
  if (fd_ >= 0) ::close(fd_);
}

void CancelSignal::Request() {
  requested_.store(true, std::memory_order_relaxed);
  if (fd_ < 0) return;
  std::uint64_t one = 1;
  // Only the readability matters; a full counter (never reached) stays readable.
  ssize_t ignored = ::write(fd_, &one, sizeof one);
  (void)ignored;
}

void CancelSignal::Reset() {
  requested_.store(false, std::memory_order_relaxed);
  if (fd_ < 0) return;
  std::uint64_t count = 0;
  ssize_t ignored = ::read(fd_, &count, sizeof count);  // non-blocking: EAGAIN when clear
  (void)ignored;
}

}  // namespace chanset
