#include "link/WriteOutcome.h"

#include <cerrno>

#include "data/ImageDiff.h"

namespace chanset {

namespace {

bool LineWentAway(int code) { return code == EIO || code == ENXIO || code == ENODEV; }

// How a transfer that did not complete ended.
WriteOutcome Failure(const TransferResult& t, bool pulled) {
  WriteOutcome o;
  if (t.end == TransferEnd::Cancelled) {
    o.end = pulled ? WriteEnd::CablePulled : WriteEnd::Cancelled;
  } else if (t.end == TransferEnd::OpenFailed) {
    o.end = pulled || LineWentAway(t.reason.code) ? WriteEnd::CablePulled : WriteEnd::CannotOpen;
    o.detail = t.reason.text;
    o.reason = t.reason;
  } else if (pulled || LineWentAway(t.reason.code)) {
    o.end = WriteEnd::CablePulled;
  } else if (t.end == TransferEnd::BlockFailed) {
    o.end = WriteEnd::Interrupted;
    o.detail = std::to_string(t.block);
  } else {
    o.end = WriteEnd::NoAnswer;  // stage one four times, or stage two declined
  }
  return o;
}

std::string FailureWords(WriteEnd end, const std::string& detail) {
  switch (end) {
    case WriteEnd::NoAnswer: return "no answer";
    case WriteEnd::CablePulled: return "cable pulled";
    case WriteEnd::Cancelled: return "cancelled";
    case WriteEnd::CannotOpen: return "cannot open the port: " + detail;
    case WriteEnd::Interrupted: return "interrupted at block " + detail;
    default: return std::string();
  }
}

}  // namespace

WriteOutcome OutcomeOfWrite(const TransferResult& write, const Image& sent, const ReadBackResult* back, bool pulled,
                            bool chinese, const CSettingsFile* names) {
  if (!write.ok()) return Failure(write, pulled);
  WriteOutcome o;
  if (!back) return o;
  switch (back->end) {
    case VerifyEnd::Verified:
      o.end = WriteEnd::Verified;
      break;
    case VerifyEnd::Differs: {
      o.end = WriteEnd::Differs;
      std::vector<std::string> lines = VerifyDifferences(sent, back->image, chinese, names);
      if (!lines.empty()) o.detail = lines.front();
      break;
    }
    case VerifyEnd::NotVerified: {
      WriteOutcome failed = Failure(back->transfer, pulled);
      o.end = WriteEnd::NotVerified;
      o.why = failed.end;
      o.detail = failed.detail;
      break;
    }
  }
  return o;
}

std::string LogWords(const WriteOutcome& o) {
  switch (o.end) {
    case WriteEnd::Written: return "written";
    case WriteEnd::Verified: return "verified";
    case WriteEnd::Differs: return "differs: " + o.detail;
    case WriteEnd::NotVerified: return "written, not verified: " + FailureWords(o.why, o.detail);
    default: return "failed: " + FailureWords(o.end, o.detail);
  }
}

}  // namespace chanset
