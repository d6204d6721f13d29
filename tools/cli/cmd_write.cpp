// chanset-cli write --port COMn|PATH [--port ...] [--trace FILE] [--quiet] [--verify] [--no-backup]
//                   [--lang en|zh] IN.dat
// With --verify the radio is read back after the write and rows 0..61
// compared with what was sent; the read-back is also kept as a backup.
#include <cstdio>
#include <memory>
#include <string>

#include "data/DatFile.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"
#include "tools/cli/Fleet.h"
#include "tools/cli/TransferChecks.h"

namespace cli {

namespace {

// Prints what the read-back found; returns the exit status it calls for.
int ReportCheck(const chanset::ReadBackResult& back, const chanset::Image& sent, const std::string& path,
                const TransferOptions& options, const chanset::CSettingsFile* names) {
  if (back.complete()) {
    BackupNote backup = BackUpRead(back.image, options);
    if (!backup.warning.empty()) PrintLine(stderr, "chanset-cli: warning: " + backup.warning);
    if (!backup.path.empty()) PrintLine(stdout, "backup: " + backup.path);
  }
  VerifyReport report = ReportReadBack(back, sent, path, options.chinese, names);
  if (report.status == 0) {
    PrintLine(stdout, report.verdict);
    return 0;
  }
  std::fflush(stdout);
  PrintLine(stderr, "chanset-cli: " + report.verdict);
  for (const std::string& line : report.differences) PrintLine(stderr, line);
  return report.status;
}

}  // namespace

int RunWrite(const Args& args) {
  std::vector<PortTarget> ports;
  std::string in, error;
  TransferOptions options;
  // COMn follows the port map of the program's settings (AppName).
  if (!LoadProgramSettings()) return 1;
  if (!ParseTransferArgs(args, "write", ports, in, options, error)) return Fail(error);
  if (!CheckTrace(ports, {InputPath(in)}, options)) return 1;

  chanset::Image image = chanset::NewImage();
  if (!LoadForCommand(in, image, options.chinese)) return 1;
  // The names of the radio types and bands for the check's lines: read
  // before anything is written.
  std::unique_ptr<chanset::CSettingsFile> names;
  if (options.verify) {
    bool ok = true;
    names = LoadNamesForCommand(ok);
    if (!ok) return 1;
  }
  if (ports.size() > 1)
    return RunFleet(ports, chanset::TransferDirection::Write, image, std::string(), options, names.get());

  chanset::TraceSink trace;
  if (!options.tracePath.empty() && !OpenTrace(options.tracePath, trace)) return 1;
  CatchInterrupt();
  chanset::TransferResult result = RunConsoleTransfer(ports[0], chanset::TransferDirection::Write, image, options, &trace);
  chanset::ReadBackResult back;
  if (result.ok() && options.verify) back = RunConsoleReadBack(ports[0], image, options, &trace);
  ReleaseInterrupt();
  if (!result.ok()) {
    WarnTraceLoss(trace);
    return Interrupted() ? ReportStopped(options.chinese) : 1;
  }
  PrintLine(stdout, "wrote 62 rows of " + in + " to " + ports[0].path);
  int status = options.verify ? ReportCheck(back, image, ports[0].path, options, names.get()) : 0;
  WarnTraceLoss(trace);
  return Interrupted() ? ReportStopped(options.chinese) : status;
}

}  // namespace cli
