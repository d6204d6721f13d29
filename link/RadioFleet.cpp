#include "link/RadioFleet.h"

#include <chrono>
#include <poll.h>

#include "link/SerialPort.h"
#include "link/TraceSink.h"

namespace chanset {

// One port's side of the transfer: its own Cancel, the owner's ears.
class RadioFleet::Host final : public TransferHost {
 public:
  Host(RadioFleet& fleet, std::size_t port) : fleet_(fleet), port_(port) {}

  bool Poll() override { return fleet_.slots_[port_]->cancel.Requested(); }
  bool AskRetry() override { return !Poll() && fleet_.observer_.AskRetry(port_); }
  void Progress(int rows) override { fleet_.observer_.Progress(port_, rows, verifying); }
  void Message(int id, const SystemError& reason) override { fleet_.observer_.Message(port_, id, reason); }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  bool verifying = false;

 private:
  RadioFleet& fleet_;
  std::size_t port_;
};

RadioFleet::RadioFleet(std::vector<FleetPort> ports, FleetJob job, FleetObserver& observer)
    : ports_(std::move(ports)), job_(job), observer_(observer) {
  for (std::size_t i = 0; i < ports_.size(); ++i) slots_.push_back(std::make_unique<Slot>());
}

RadioFleet::~RadioFleet() {
  Cancel();
  Wait();
}

void RadioFleet::Start() {
  for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i]->thread = std::thread([this, i] { Run(i); });
  if (job_.stopAll) relay_ = std::thread([this] { Relay(); });
}

void RadioFleet::Relay() {
  // Woken by either signal; a signal without an eventfd is looked at ten
  // times a second.
  pollfd fds[2] = {{job_.stopAll->Fd(), POLLIN, 0}, {ended_.Fd(), POLLIN, 0}};
  while (!ended_.Requested()) {
    if (job_.stopAll->Requested()) {
      Cancel();
      return;
    }
    poll(fds, 2, 100);
  }
}

void RadioFleet::Cancel() {
  for (auto& slot : slots_) slot->cancel.Request();
}

void RadioFleet::CancelPort(std::size_t port, bool pulled) {
  if (port >= slots_.size()) return;
  if (pulled) slots_[port]->pulled = true;
  slots_[port]->cancel.Request();
}

void RadioFleet::Wait() {
  for (auto& slot : slots_)
    if (slot->thread.joinable()) slot->thread.join();
  ended_.Request();
  if (relay_.joinable()) relay_.join();
}

void RadioFleet::Run(std::size_t i) {
  Slot& slot = *slots_[i];
  SerialPort port;
  port.SetCancel(&slot.cancel);
  Host host(*this, i);
  FleetResult& r = slot.result;
  r.image = job_.image;
  r.transfer = RunTracedTransfer(port, host, ports_[i].trace, ports_[i].path, job_.direction, r.image);
  if (r.transfer.ok() && job_.direction == TransferDirection::Write && job_.verify) {
    host.verifying = true;
    r.back = ReadBackWritten(port, host, ports_[i].trace, ports_[i].path, job_.image);
  }
  r.pulled = slot.pulled;
  observer_.Ended(i, r);
}

}  // namespace chanset
