#pragma once
// The serial line as a clone transfer sees it. SerialPort is the real one;
// tests drive the transfer through a scripted stand-in.
#include <cstddef>
#include <cstdint>
#include <string>

namespace chanset {

// The system's reason behind a failed port operation: an errno value
// (0 when there is none) and its text.
struct SystemError {
  int code = 0;
  std::string text;
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
};

}  // namespace chanset
