#pragma once
// The serial line as a clone transfer sees it. SerialPort is the real one;
// tests drive the transfer through a scripted stand-in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace chanset {

// A process that has a device open, or holds its lock file.
struct PortHolder {
  int pid = 0;
  std::string command;  // its name as /proc gives it ("" when unknown)
};

// The system's reason behind a failed port operation: an errno value
// (0 when there is none) and its text.
struct SystemError {
  SystemError() = default;
  SystemError(int code, std::string text) : code(code), text(std::move(text)) {}

  int code = 0;
  std::string text;
  // EBUSY: the other program when it is known (pid 0 when not), and its
  // lock file when that is how it holds the port.
  PortHolder holder;
  std::string lockFile;
  // ENOTTY: a terminal that is no serial line (the controlling terminal,
  // one of this program's own, a console), rather than no terminal at all.
  bool terminal = false;
};

class Port {
 public:
  virtual ~Port() = default;

  // Opens the device at `path` for this program alone and configures the
  // line for the radio. False when that fails; LastError() says why.
  virtual bool Open(const std::string& path) = 0;
  // Empties the receive buffer. Bytes this side has written are sent first,
  // never thrown away. False when the line has failed.
  virtual bool Discard() = 0;
  // Sends `size` bytes and returns once they have left. False on failure.
  virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
  // Reads up to `size` bytes within the line's time-outs and returns how
  // many arrived (0 when none did), or -1 when the line failed (for example
  // the device went away). A short count is not an error.
  virtual long Read(std::uint8_t* data, std::size_t size) = 0;
  // Releases the device. Safe to call when not open.
  virtual void Close() = 0;
  // The reason for the last failure.
  virtual SystemError LastError() const = 0;
  // What the last Open() did about the port's lock file, one line each,
  // for the trace ("" lines are none).
  virtual std::vector<std::string> OpenNotes() const { return {}; }
};

}  // namespace chanset
