#pragma once
// A scripted radio behind a Port, and a host that logs every call: the two
// stand-ins the clone transfer's unit tests drive it with. Every port call
// and every host call lands in one log, so frames, pauses and their order
// can be checked.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/CloneTransfer.h"

namespace radiotest {

using namespace chanset;

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

inline std::string Hex(const std::uint8_t* data, std::size_t size) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", data[i]);
    s += buf;
  }
  return s;
}
inline std::string Hex(const Bytes& b) { return Hex(b.data(), b.size()); }

inline const Bytes kMagic = {0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4E};
inline const Bytes kIdent = {'I', 'D', 'E', 'N', 'T', '0', '0', '1'};

// A radio behind a port. It answers each read from the bytes written since
// the previous one, the way the radio answers a complete frame.
class ScriptedRadio : public Port {
 public:
  explicit ScriptedRadio(Log& log) : log_(log) {
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }

  std::array<std::uint8_t, kTransferBytes> memory;
  bool openFails = false;
  bool silent = false;
  bool hangUpAfterMagic = false;
  int stageTwoSilences = 0;  // handshakes whose closing ACK goes unanswered
  int shortReplyBlock = -1;
  int wrongAckBlock = -1;
  int hangUpAtBlock = -1;
  int cancelAtRead = 0;  // 1-based read call that a Cancel request ends

  bool Open(const std::string& path) override {
    log_.push_back("open " + path);
    if (openFails) error_ = {ENOENT, "no such device"};
    return !openFails;
  }
  bool Discard() override {
    log_.push_back("discard");
    return !hungUp_ && !cancelled_;
  }
  bool Write(const std::uint8_t* data, std::size_t size) override {
    log_.push_back("write " + Hex(data, size));
    if (hungUp_) return false;
    written_.insert(written_.end(), data, data + size);
    return true;
  }
  long Read(std::uint8_t* data, std::size_t size) override {
    if (++reads_ == cancelAtRead) cancelled_ = true;
    if (cancelled_) {
      // What a port does once Cancel was asked for: every call fails.
      error_ = {ECANCELED, "read: Operation canceled"};
      log_.push_back("read " + std::to_string(size) + " -> cancelled");
      return -1;
    }
    Bytes reply = Answer();
    written_.clear();
    if (hungUp_) {
      error_ = {EIO, "read: Input/output error"};
      log_.push_back("read " + std::to_string(size) + " -> error");
      return -1;
    }
    if (reply.size() > size) reply.resize(size);
    std::copy(reply.begin(), reply.end(), data);
    log_.push_back("read " + std::to_string(size) + " -> " + (reply.empty() ? "(none)" : Hex(reply)));
    return static_cast<long>(reply.size());
  }
  void Close() override { log_.push_back("close"); }
  SystemError LastError() const override { return error_; }

 private:
  Bytes Answer() {
    const Bytes& w = written_;
    if (silent || w.empty()) return {};
    if (w == kMagic) {
      block_ = -1;
      if (hangUpAfterMagic) hungUp_ = true;
      return {0x06};
    }
    if (w == Bytes{0x02}) return kIdent;
    if (w == Bytes{0x06}) {
      if (block_ < 0 && stageTwoSilences > 0) {
        --stageTwoSilences;
        return {};
      }
      return {static_cast<std::uint8_t>(block_ >= 0 && block_ == wrongAckBlock ? 0x15 : 0x06)};
    }
    if ((w[0] == 'R' && w.size() == 4) || (w[0] == 'W' && w.size() == 12)) {
      block_ = (w[1] * 256 + w[2]) / 8;
      if (block_ == hangUpAtBlock) {
        hungUp_ = true;
        return {};
      }
      std::uint8_t* at = memory.data() + block_ * 8;
      if (w[0] == 'W') {
        std::copy(w.begin() + 4, w.end(), at);
        return {static_cast<std::uint8_t>(block_ == wrongAckBlock ? 0x15 : 0x06)};
      }
      Bytes reply = {'W', w[1], w[2], 0x08};
      reply.insert(reply.end(), at, at + 8);
      if (block_ == shortReplyBlock) reply.pop_back();
      return reply;
    }
    return {};
  }

  Log& log_;
  Bytes written_;
  int block_ = -1;
  int reads_ = 0;
  bool hungUp_ = false;
  bool cancelled_ = false;
  SystemError error_;
};

class FakeHost : public TransferHost {
 public:
  explicit FakeHost(Log& log) : log_(log) {}
  int cancelAtPoll = 0;            // 1-based poll that reports Cancel; 0 never
  std::deque<bool> retryAnswers;   // answers to 61451; Cancel when empty
  bool switchToWrite = false;
  std::function<void(int)> onProgress;

  bool Poll() override {
    log_.push_back("poll");
    return ++polls_ == cancelAtPoll;
  }
  bool AskRetry() override {
    log_.push_back("ask");
    bool retry = !retryAnswers.empty() && retryAnswers.front();
    if (!retryAnswers.empty()) retryAnswers.pop_front();
    return retry;
  }
  void Progress(int rows) override {
    log_.push_back("progress " + std::to_string(rows));
    if (onProgress) onProgress(rows);
  }
  void Message(int id, const SystemError&) override { log_.push_back("message " + std::to_string(id)); }
  void Sleep(int ms) override { log_.push_back("sleep " + std::to_string(ms)); }
  TransferDirection BlockDirection(TransferDirection chosen) override {
    return switchToWrite ? TransferDirection::Write : chosen;
  }

 private:
  Log& log_;
  int polls_ = 0;
};

}  // namespace radiotest
