#pragma once
// Running clone transfers from the command line: messages on stderr, one
// updating progress line when stderr is a terminal, the Retry/Cancel
// question when stdin is one, Ctrl-C as an immediate Cancel.
#include <string>
#include <vector>

#include "data/MemoryImage.h"
#include "link/CancelSignal.h"
#include "link/CloneTransfer.h"
#include "link/TraceSink.h"

namespace cli {

// Exit status after Ctrl-C, as a shell reports a program ended by SIGINT.
constexpr int kExitInterrupted = 130;

// The English text of a transfer message id.
const char* MessageText(int id);

struct TransferOptions {
  bool quiet = false;     // --quiet: no progress line
  std::string tracePath;  // --trace FILE: log of the wire, "" for none
};

// One radio of a transfer: the port as the user named it and its device.
struct PortTarget {
  std::string label;  // as given: COM3, /dev/ttyUSB0, ...
  std::string path;   // the device it resolves to
  std::string stem;   // a file-name-safe name: COM3, ttyUSB0, ...
};

// The words of `read` and `write`: every "--port X" (at least one),
// "--trace FILE", "--quiet", and the one file or folder argument left.
// False with `error` when they do not fit.
bool ParseTransferArgs(std::vector<std::string> args, const char* verb, std::vector<PortTarget>& ports,
                       std::string& file, TransferOptions& options, std::string& error);

// Ctrl-C from now on cancels every running transfer at once (a second one
// ends the program). Interrupted() tells whether it was pressed.
void CatchInterrupt();
void ReleaseInterrupt();
bool Interrupted();
// The signal Ctrl-C raises; null before CatchInterrupt().
chanset::CancelSignal* InterruptSignal();

// Creates the trace file `path` into `sink`; prints why not and returns
// false when it cannot be written.
bool OpenTrace(const std::string& path, chanset::TraceSink& sink);

// Runs one transfer on `port.path`, traced into `trace` when it is open.
// The messages are printed as they come.
chanset::TransferResult RunConsoleTransfer(const PortTarget& port, chanset::TransferDirection direction,
                                           chanset::Image& image, const TransferOptions& options,
                                           chanset::TraceSink* trace);

// The progress line: "<verb> [####....] 31/62 rows  1.4 s".
std::string ProgressLine(const char* verb, int rows, double seconds);

}  // namespace cli
