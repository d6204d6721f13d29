#pragma once
// How a write to one radio ended, in the few words a row of the batch, the
// write log and the command line give it:
//
//   Written       every block went through (no read-back asked for)
//   Verified      written, read back, and rows 0..61 are what was sent
//   Differs       written and read back, but the radio holds other data;
//                 the detail is the first difference
//   NotVerified   written, but the read-back failed; `why` says how
//   NoAnswer      the radio never acknowledged the handshake
//   CablePulled   the line went away (the device vanished, or the port
//                 failed with EIO/ENXIO/ENODEV)
//   Cancelled     stopped by the user
//   CannotOpen    the port could not be opened; the detail is the reason
//   Interrupted   a block was not acknowledged; the detail is its number
#include <string>

#include "link/CloneTransfer.h"
#include "link/ReadBack.h"

namespace chanset {

class CSettingsFile;

enum class WriteEnd { Written, Verified, Differs, NotVerified, NoAnswer, CablePulled, Cancelled, CannotOpen, Interrupted };

struct WriteOutcome {
  WriteEnd end = WriteEnd::Written;
  WriteEnd why = WriteEnd::Written;  // NotVerified: how the read-back ended
  std::string detail;                // see above; "" when there is none
  SystemError reason;                // CannotOpen: the port's reason

  // Every block of the write was acknowledged (whatever its check found).
  bool written() const {
    return end == WriteEnd::Written || end == WriteEnd::Verified || end == WriteEnd::Differs ||
           end == WriteEnd::NotVerified;
  }
};

// The outcome of a write of `sent` (`back`: its read-back, null when none
// was made).
// `pulled`: the device was seen to go away while the port was in use, which
// turns a Cancel it caused into CablePulled. The first difference is given in
// the language `chinese`, with the type and band names of `names` (null:
// their indexes).
WriteOutcome OutcomeOfWrite(const TransferResult& write, const Image& sent, const ReadBackResult* back, bool pulled,
                            bool chinese, const CSettingsFile* names);

// The log's result column, in English: "written", "verified",
// "differs: <first difference>", "written, not verified: <why>", or
// "failed: no answer" / "failed: cable pulled" / "failed: cancelled" /
// "failed: cannot open the port: <reason>" / "failed: interrupted at block N".
std::string LogWords(const WriteOutcome& outcome);

}  // namespace chanset
