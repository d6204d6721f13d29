#pragma once
// The same transfer on several radios at once: one thread and one port per
// radio, each with its own handshake, none waiting for another. Each port
// is opened, locked and put back on its own (link/SerialPort.h): a radio
// another program holds fails alone, naming that program.
#include <string>
#include <vector>

#include "data/MemoryImage.h"
#include "link/CloneTransfer.h"
#include "tools/cli/ConsoleTransfer.h"

namespace chanset {
class CSettingsFile;
}

namespace cli {

// Writes `image` to every port, or reads every radio into
// `folder`/<stem>.dat (each file stored as soon as its radio is read).
// Prints one result line per port on stdout as each ends, then a summary.
// The Retry question is answered Cancel for a port when stdin is not a
// terminal. With --trace FILE each port's trace goes to FILE.<stem>.
// Every radio read completely is also kept in the backups folder (unless
// --no-backup). With --verify each written radio is read back on its own
// thread and compared; `names` names the radio types and bands in the
// lines of a radio that differs (null: their indexes).
// Returns the exit status: 0 when every radio succeeded, 128 + the signal
// after Ctrl-C (130), SIGTERM (143) or SIGHUP (129),
// 1 when a transfer failed, else kExitVerifyDiffers when a radio holds
// other data than was written, else kExitNotVerified when a read-back
// failed.
// The file a radio of a fleet read goes to: FOLDER/<stem>.dat.
std::string FleetFileOf(const std::string& folder, const PortTarget& port);

int RunFleet(const std::vector<PortTarget>& ports, chanset::TransferDirection direction, const chanset::Image& image,
             const std::string& folder, const TransferOptions& options, const chanset::CSettingsFile* names = nullptr);

}  // namespace cli
