// chanset-cli ports [--sysfs DIR] [--dev DIR] [--proc DIR]
#include <cstdio>
#include <string>
#include <vector>

#include "link/PortDiscovery.h"
#include "platform/TerminalText.h"
#include "tools/cli/CliCommand.h"

namespace cli {

int RunPorts(const Args& arguments) {
  Args args = arguments;
  chanset::DiscoveryRoots roots = chanset::DiscoveryRootsFromEnvironment();
  std::string error;
  for (auto [option, root] : {std::pair<const char*, std::string*>{"--sysfs", &roots.sys},
                              {"--dev", &roots.dev},
                              {"--proc", &roots.proc}}) {
    if (!TakeOption(args, option, *root, error) && !error.empty()) return Fail(error);
  }
  if (!Operands(args) || !args.empty()) return Fail("usage: ports [--sysfs DIR] [--dev DIR] [--proc DIR]");

  std::vector<chanset::SerialDevice> devices = chanset::ListSerialDevices(roots);
  if (devices.empty()) {
    PrintLine(stdout, "no serial devices found");
    return 0;
  }
  using Row = std::vector<std::string>;
  std::vector<Row> rows = {{"DEVICE", "BY-ID", "USB", "PORT", "STATUS"}};
  // Names come from the devices and from other processes: each cell is made
  // safe before the columns are measured.
  auto orDash = [](const std::string& s) { return s.empty() ? std::string("-") : chanset::TerminalText(s); };
  for (const chanset::SerialDevice& d : devices)
    rows.push_back({orDash(d.path), orDash(d.byId), orDash(chanset::UsbText(d)), orDash(chanset::ComPortsText(d)),
                    orDash(chanset::OpenStatusText(d))});
  std::vector<std::size_t> width(rows[0].size(), 0);
  for (const Row& r : rows)
    for (std::size_t c = 0; c < r.size(); ++c) width[c] = std::max(width[c], r[c].size());
  for (const Row& r : rows) {
    std::string line;
    for (std::size_t c = 0; c < r.size(); ++c)
      line += c + 1 < r.size() ? r[c] + std::string(width[c] - r[c].size() + 2, ' ') : r[c];
    PrintLine(stdout, line);
  }
  return 0;
}

}  // namespace cli
