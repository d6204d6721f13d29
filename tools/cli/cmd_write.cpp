// chanset-cli write --port COMn|PATH [--port ...] [--trace FILE] [--quiet] IN.dat
#include <cstdio>
#include <string>

#include "data/DatFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"
#include "tools/cli/Fleet.h"

namespace cli {

int RunWrite(const Args& args) {
  std::vector<PortTarget> ports;
  std::string in, error;
  TransferOptions options;
  if (!ParseTransferArgs(args, "write", ports, in, options, error)) return Fail(error);

  chanset::Image image = chanset::NewImage();
  if (!LoadForCommand(in, image, false)) return 1;
  if (ports.size() > 1) return RunFleet(ports, chanset::TransferDirection::Write, image, std::string(), options);

  chanset::TraceSink trace;
  if (!options.tracePath.empty() && !OpenTrace(options.tracePath, trace)) return 1;
  CatchInterrupt();
  chanset::TransferResult result = RunConsoleTransfer(ports[0], chanset::TransferDirection::Write, image, options, &trace);
  ReleaseInterrupt();
  if (Interrupted()) return kExitInterrupted;
  if (!result.ok()) return 1;
  std::printf("wrote 62 rows of %s to %s\n", in.c_str(), ports[0].path.c_str());
  return 0;
}

}  // namespace cli
