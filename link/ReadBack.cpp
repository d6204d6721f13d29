#include "link/ReadBack.h"

#include <algorithm>

#include "link/TraceSink.h"

namespace chanset {

namespace {

// The read-back's view of the caller's host: everything passes through but
// the ending message, which is kept for the verdict, and the direction of
// the block loop, which stays Read (a GUI host answers the direction the
// user chose for the whole job, which was Write).
class ReadBackHost final : public TransferHost {
 public:
  explicit ReadBackHost(TransferHost& inner) : inner_(inner) {}

  bool Poll() override { return inner_.Poll(); }
  bool AskRetry() override { return inner_.AskRetry(); }
  void Progress(int rows) override { inner_.Progress(rows); }
  void Message(int id, const SystemError& reason) override {
    message = id;
    this->reason = reason;
  }
  void Sleep(int ms) override { inner_.Sleep(ms); }
  TransferDirection BlockDirection(TransferDirection chosen) override { return chosen; }

  int message = 0;
  SystemError reason;

 private:
  TransferHost& inner_;
};

}  // namespace

ReadBackResult ReadBackWritten(Port& port, TransferHost& host, TraceSink* trace, const std::string& path,
                               const Image& sent) {
  ReadBackResult result;
  result.image = sent;
  ReadBackHost quiet(host);
  result.transfer = RunTracedTransfer(port, quiet, trace, path, TransferDirection::Read, result.image);
  // The Retry question was answered Cancel: it was shown, and is the reason.
  result.message = result.transfer.end == TransferEnd::RetryDeclined ? result.transfer.message : quiet.message;
  result.reason = quiet.message != 0 ? quiet.reason : result.transfer.reason;
  if (!result.complete()) {
    result.end = VerifyEnd::NotVerified;
  } else {
    const bool same = std::equal(sent.begin(), sent.begin() + static_cast<long>(kTransferBytes), result.image.begin());
    result.end = same ? VerifyEnd::Verified : VerifyEnd::Differs;
  }
  return result;
}

}  // namespace chanset
