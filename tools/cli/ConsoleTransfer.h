#pragma once
// Running clone transfers from the command line: messages on stderr in the
// --lang language (the window's texts, with the same line on what to do
// about the port), one updating progress line when stderr is a terminal,
// the Retry/Cancel question when stdin is one, and Ctrl-C, SIGTERM and
// SIGHUP as an immediate Cancel.
#include <string>
#include <vector>

#include "data/MemoryImage.h"
#include "link/CancelSignal.h"
#include "link/CloneTransfer.h"
#include "link/ReadBack.h"
#include "link/TraceSink.h"

namespace cli {

// Exit status of `write --verify` when the write completed but its check
// did not: the read-back failed (the radio holds what was written,
// unchecked), or the radio holds other data than was written.
constexpr int kExitNotVerified = 3;
constexpr int kExitVerifyDiffers = 4;

// The text of a transfer message id (61451, 61453, 61454).
const char* MessageText(int id, bool chinese);
// What to do about the port `path`, or the system's words for the reason
// when there is no such line; "" without a reason.
std::string ReasonText(const chanset::SystemError& reason, const std::string& path, bool chinese);
// The message, followed by ReasonText in brackets when there is one.
std::string MessageWithReason(int id, const chanset::SystemError& reason, const std::string& path, bool chinese);

struct TransferOptions {
  bool quiet = false;     // --quiet: no progress line
  std::string tracePath;  // --trace FILE: log of the wire, "" for none ("-" becomes /dev/stderr)
  bool verify = false;    // --verify (write): read back and compare
  bool backup = true;     // --no-backup turns off the backup of what is read
  bool chinese = false;   // --lang zh: backup warnings and the check's lines in Chinese
};

// One radio of a transfer: the port as the user named it and its device.
struct PortTarget {
  std::string label;  // as given: COM3, /dev/ttyUSB0, ...
  std::string path;   // the device it resolves to
  std::string stem;   // a file-name-safe name: COM3, ttyUSB0, ...
};

// The words of `read` and `write`: every "--port X" (at least one),
// "--trace FILE", "--quiet", "--no-backup", "--lang en|zh", "--verify"
// (write only), and the one file or folder argument left. False with
// `error` when they do not fit.
bool ParseTransferArgs(std::vector<std::string> args, const char* verb, std::vector<PortTarget>& ports,
                       std::string& file, TransferOptions& options, std::string& error);

// From now on Ctrl-C (SIGINT), SIGTERM and SIGHUP cancel every running
// transfer at once: each port is closed, put back as it was found and
// unlocked, and each trace gets its END line (a second Ctrl-C ends the
// program). Interrupted() tells whether one of them came.
void CatchInterrupt();
void ReleaseInterrupt();
bool Interrupted();
// After Interrupted(): one line saying the transfer was stopped ("cancelled"
// after Ctrl-C), and the exit status of a program ended by that signal,
// 128 + its number (130, 143, 129).
int ReportStopped(bool chinese);
// Asks Retry or Cancel on the terminal, showing `prompt` each time until an
// answer starting r or c comes; Ctrl-C or the end of input is Cancel. True
// for Retry.
bool AskRetryOnTerminal(const std::string& prompt);
// The signal Ctrl-C raises; null before CatchInterrupt().
chanset::CancelSignal* InterruptSignal();

// Opens the trace file `path` into `sink` (appended to); prints why not and
// returns false when it cannot be written.
bool OpenTrace(const std::string& path, chanset::TraceSink& sink);
// The trace file of `port`: --trace FILE itself for one port, FILE.<stem>
// for each of several.
std::string TraceFileOf(const TransferOptions& options, std::size_t portCount, const PortTarget& port);
// Before anything is opened: the trace may be none of the transfer's
// `files` (input or outputs, and the settings file) nor any of its ports, and
// a stream trace takes one port only. Prints why not and returns false.
bool CheckTrace(const std::vector<PortTarget>& ports, std::vector<std::string> files, const TransferOptions& options);
// After a transfer: why the trace stopped and how many lines it lost, or
// "" when it lost none. WarnTraceLoss prints it as a warning on stderr.
std::string TraceLossText(const chanset::TraceSink& sink);
void WarnTraceLoss(const chanset::TraceSink& sink);

// Runs one transfer on `port.path`, traced into `trace` when it is open.
// The messages are printed as they come.
chanset::TransferResult RunConsoleTransfer(const PortTarget& port, chanset::TransferDirection direction,
                                           chanset::Image& image, const TransferOptions& options,
                                           chanset::TraceSink* trace);

// Reads the radio on `port.path` back after a completed write of `sent`,
// with its own progress line ("Verifying"), traced into `trace` when it is
// open.
chanset::ReadBackResult RunConsoleReadBack(const PortTarget& port, const chanset::Image& sent,
                                           const TransferOptions& options, chanset::TraceSink* trace);

// The progress line: "<verb> [####....] 31/62 rows  1.4 s".
std::string ProgressLine(const char* verb, int rows, double seconds);

}  // namespace cli
