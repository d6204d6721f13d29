#include "link/TraceSink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "platform/TerminalText.h"

namespace chanset {

namespace {

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

TraceSink::~TraceSink() { Close(); }

bool TraceSink::Open(const std::string& path, std::string* error) {
  Close();
  if (!file_.Open(path, error)) return false;
  originNs_ = NowNs();
  return true;
}

void TraceSink::Close() { file_.Close(); }

void TraceSink::Header(const std::string& text) {
  if (!IsOpen()) return;
  file_.Append("# " + TerminalText(text) + "\n");
}

void TraceSink::StartClock() { originNs_ = NowNs(); }

void TraceSink::Event(const char* what, const std::uint8_t* data, std::size_t size, const std::string& note) {
  if (!IsOpen()) return;
  long long us = (NowNs() - originNs_) / 1000;
  // A stack buffer for the usual frames (at most 12 bytes); longer ones grow.
  char fixed[160];
  std::string grown;
  // Paths and reasons come from outside; the trace may be read on a terminal.
  const std::string shown = TerminalText(note);
  std::size_t need = 32 + std::strlen(what) + 3 * size + shown.size();
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
  if (!shown.empty()) {
    buf[at++] = ' ';
    std::memcpy(buf + at, shown.data(), shown.size());
    at += static_cast<int>(shown.size());
  }
  buf[at++] = '\n';
  // One write() per line, straight to the kernel: what is written survives
  // a crash of the program, and lines of one event are never split.
  file_.Append(buf, static_cast<std::size_t>(at));
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

std::string TraceClash(const std::string& trace, const std::vector<std::string>& files,
                       const std::vector<std::string>& ports) {
  for (const std::string& file : files)
    if (!file.empty() && SameFile(trace, file)) return "the trace " + trace + " is the file " + file;
  for (const std::string& port : ports)
    if (!port.empty() && SameFile(trace, port)) return "the trace " + trace + " is the port " + port;
  return std::string();
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
