#include "link/TraceSink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace chanset {

namespace {

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

TraceSink::~TraceSink() { Close(); }

bool TraceSink::Open(const std::string& path, bool append, std::string* error) {
  Close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0644);
  if (fd_ < 0) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  originNs_ = NowNs();
  return true;
}

void TraceSink::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TraceSink::WriteLine(const char* line, std::size_t size) {
  // One write() per line, straight to the kernel: what is written survives
  // a crash of the program, and lines of one event are never split.
  while (size > 0) {
    ssize_t n = ::write(fd_, line, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a full disk loses trace lines, never the transfer
    line += n;
    size -= static_cast<std::size_t>(n);
  }
}

void TraceSink::Header(const std::string& text) {
  if (fd_ < 0) return;
  std::string line = "# " + text + "\n";
  WriteLine(line.data(), line.size());
}

void TraceSink::StartClock() { originNs_ = NowNs(); }

void TraceSink::Event(const char* what, const std::uint8_t* data, std::size_t size, const std::string& note) {
  if (fd_ < 0) return;
  long long us = (NowNs() - originNs_) / 1000;
  // A stack buffer for the usual frames (at most 12 bytes); longer ones grow.
  char fixed[160];
  std::string grown;
  std::size_t need = 32 + std::strlen(what) + 3 * size + note.size();
  char* buf = fixed;
  if (need > sizeof fixed) {
    grown.resize(need);
    buf = &grown[0];
  }
  int at = std::snprintf(buf, need, "%10lld %s", us, what);
  static const char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < size; ++i) {
    buf[at++] = ' ';
    buf[at++] = kHex[data[i] >> 4];
    buf[at++] = kHex[data[i] & 15];
  }
  if (!note.empty()) {
    buf[at++] = ' ';
    std::memcpy(buf + at, note.data(), note.size());
    at += static_cast<int>(note.size());
  }
  buf[at++] = '\n';
  WriteLine(buf, static_cast<std::size_t>(at));
}

// Port ------------------------------------------------------------------------

void TracingPort::Failed() { sink_.Event("ERROR", nullptr, 0, inner_.LastError().text); }

bool TracingPort::Open(const std::string& path) {
  bool ok = inner_.Open(path);
  sink_.StartClock();
  sink_.Event("OPEN", nullptr, 0, ok ? path : path + " failed");
  for (const std::string& note : inner_.OpenNotes()) sink_.Event("LOCK", nullptr, 0, note);
  if (!ok) {
    Failed();
    return false;
  }
  open_ = true;
  return true;
}

bool TracingPort::Discard() {
  sink_.Event("DISCARD");
  bool ok = inner_.Discard();
  if (!ok) Failed();
  return ok;
}

bool TracingPort::Write(const std::uint8_t* data, std::size_t size) {
  sink_.Event("TX", data, size);
  bool ok = inner_.Write(data, size);
  if (!ok) Failed();
  return ok;
}

long TracingPort::Read(std::uint8_t* data, std::size_t size) {
  long n = inner_.Read(data, size);
  if (n < 0) {
    Failed();
  } else if (n == 0) {
    sink_.Event("RX -", nullptr, 0, "(0 of " + std::to_string(size) + ")");
  } else if (static_cast<std::size_t>(n) < size) {
    sink_.Event("RX", data, static_cast<std::size_t>(n),
                "(" + std::to_string(n) + " of " + std::to_string(size) + ")");
  } else {
    sink_.Event("RX", data, static_cast<std::size_t>(n));
  }
  return n;
}

void TracingPort::Close() {
  inner_.Close();
  if (open_) sink_.Event("CLOSE");
  open_ = false;
}

// Host ------------------------------------------------------------------------

bool TracingHost::AskRetry() {
  bool retry = inner_.AskRetry();
  sink_.Event("ASK", nullptr, 0, retry ? "Retry" : "Cancel");
  return retry;
}

void TracingHost::Sleep(int ms) {
  sink_.Event("PAUSE", nullptr, 0, std::to_string(ms) + " ms");
  inner_.Sleep(ms);
}

TransferResult RunTracedTransfer(Port& port, TransferHost& host, TraceSink* sink, const std::string& path,
                                 TransferDirection direction, Image& image) {
  if (!sink || !sink->IsOpen()) return RunTransfer(port, host, path, direction, image);
  time_t now = time(nullptr);
  char when[32] = "";
  tm local{};
  if (localtime_r(&now, &local)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  sink->Header(std::string(direction == TransferDirection::Read ? "read" : "write") + " on " + path + " at " + when +
               "; microseconds since the port opened");
  TracingPort tracedPort(port, *sink);
  TracingHost tracedHost(host, *sink);
  TransferResult result = RunTransfer(tracedPort, tracedHost, path, direction, image);
  const char* endings[] = {"completed", "cancelled", "open failed", "handshake failed", "retry declined",
                           "block failed"};
  std::string end = endings[static_cast<int>(result.end)];
  if (result.end == TransferEnd::BlockFailed) end += " at block " + std::to_string(result.block);
  sink->Event("END", nullptr, 0, end);
  return result;
}

}  // namespace chanset
