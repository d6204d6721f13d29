#pragma once
// A radio on a pseudo-terminal: the program under test opens the slave
// device as its serial port, the simulator answers on the master side.
#include <deque>
#include <string>

#include "tools/radio_sim/RadioSide.h"

namespace radiosim {

struct Options {
  std::string imagePath;  // --image: the radio's memory at start
  std::string savePath;   // --save: written after every completed write
  std::string linkPath;   // --link: a symlink to the slave device
  std::string statsPath;  // --stats: one line per transfer appended (silence before data blocks)
  bool fast = false;      // --fast: no 9600-baud line model
  int exitAfter = 0;      // --exit-after: stop after this many transfers (0: never)
  bool verbose = false;   // --verbose: log events on stderr
  Faults faults;
};

class Simulator {
 public:
  Simulator(const Options& options, const chanset::Image& image);
  ~Simulator();
  // Creates the pseudo-terminal; false (with `error`) when that fails.
  bool Start(std::string& error);
  const std::string& SlavePath() const { return slavePath_; }
  // Serves transfers until SIGTERM/SIGINT, --exit-after or a hang-up.
  // Returns the process exit status.
  int Run();

 private:
  struct Timed {
    std::uint8_t byte;
    long long at;   // ns, CLOCK_MONOTONIC: when the byte has fully arrived
    long long gap;  // ns of silence on the line before it started
  };
  // The silence the line had before the data bytes of each write block,
  // over one transfer: the protocol asks for 1 ms after the header.
  struct Silences {
    int blocks = 0;
    long long total = 0, low = 0, high = 0;
  };

  void Receive(long long now);
  void Process(long long now);
  void Deliver(long long now);
  void Log(const std::string& text) const;
  void HangUp();
  void LetTheClientFinish();
  void TransferEnded();

  Options options_;
  chanset::Image image_;
  RadioSide radio_;
  int master_ = -1;
  std::string slavePath_;
  long long byteNs_;
  std::deque<Timed> incoming_, outgoing_;
  long long lastIn_ = 0, lastOut_ = 0;
  int transfers_ = 0;
  Silences silences_;
  bool hungUp_ = false;
};

// Installs the SIGTERM/SIGINT handling Run() relies on. Call before Start().
void PrepareSignals();

}  // namespace radiosim
