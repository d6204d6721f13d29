#pragma once
// The same transfer on several radios at once: one thread and one port per
// radio, each with its own handshake, none waiting for another. The window's
// batch (Program -> Write to Several Radios) and chanset-cli with several
// --port both run it.
//
//   RadioFleet fleet(ports, job, observer);
//   fleet.Start();          // one thread per port
//   ...                     // observer hears Progress and Ended per port
//   fleet.Cancel();         // every port stops at its next wait
//   fleet.Wait();
//
// A port that fails, waits out its time-outs or asks the Retry question
// holds up no other: each has its own thread, its own CancelSignal and its
// own trace. Cancel wakes every port at once (a blocked read ends the moment
// it is asked), so a whole fleet stops within milliseconds.
#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "data/MemoryImage.h"
#include "link/CancelSignal.h"
#include "link/CloneTransfer.h"
#include "link/ReadBack.h"

namespace chanset {

class TraceSink;

struct FleetPort {
  std::string path;            // the device
  TraceSink* trace = nullptr;  // this port's trace, or null
};

struct FleetJob {
  TransferDirection direction = TransferDirection::Write;
  Image image{};        // what a write sends; where a read starts from
  bool verify = false;  // a completed write is read back and compared
  // Also stops every port once requested (a signal handler's Ctrl-C); null
  // for none. Must outlive the fleet.
  const CancelSignal* stopAll = nullptr;
};

struct FleetResult {
  TransferResult transfer;
  std::optional<ReadBackResult> back;  // the read-back of a verified write
  Image image{};                       // a read: rows 0..61 from the radio when complete
  bool pulled = false;                 // the device went away while in use (CancelPort)
};

// What a fleet tells its owner, from the ports' threads (one call at a time
// per port; calls of different ports may overlap).
class FleetObserver {
 public:
  virtual ~FleetObserver() = default;
  // `rows` of the port's transfer are done (1..62), of its read-back when
  // `verifying`.
  virtual void Progress(std::size_t port, int rows, bool verifying) = 0;
  // Message 61451 for the port: true for Retry. Answered Cancel when not
  // overridden (nobody to ask).
  virtual bool AskRetry(std::size_t port) { return (void)port, false; }
  // The message the port's transfer ended with (its ending is also in the
  // result).
  virtual void Message(std::size_t port, int id, const SystemError& reason) { (void)port, (void)id, (void)reason; }
  // The port is done; `result` is final.
  virtual void Ended(std::size_t port, const FleetResult& result) = 0;
};

class RadioFleet {
 public:
  RadioFleet(std::vector<FleetPort> ports, FleetJob job, FleetObserver& observer);
  // Cancels what still runs and waits for it.
  ~RadioFleet();
  RadioFleet(const RadioFleet&) = delete;
  RadioFleet& operator=(const RadioFleet&) = delete;

  // Starts one thread per port.
  void Start();
  // Every port stops at once; a port's transfer ends Cancelled.
  void Cancel();
  // One port stops; `pulled`: because its device went away.
  void CancelPort(std::size_t port, bool pulled);
  // Returns once every port has ended.
  void Wait();

  std::size_t Size() const { return ports_.size(); }
  // Valid once the port's Ended was called.
  const FleetResult& Result(std::size_t port) const { return slots_[port]->result; }

 private:
  struct Slot {
    CancelSignal cancel;
    std::atomic<bool> pulled{false};
    FleetResult result;
    std::thread thread;
  };
  class Host;
  void Run(std::size_t port);
  // Passes job_.stopAll on to every port, until the fleet has ended.
  void Relay();

  std::vector<FleetPort> ports_;
  FleetJob job_;
  FleetObserver& observer_;
  std::vector<std::unique_ptr<Slot>> slots_;
  CancelSignal ended_;  // every port has ended: the relay stops
  std::thread relay_;
};

}  // namespace chanset
