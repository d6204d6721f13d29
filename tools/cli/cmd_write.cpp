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
    if (!backup.warning.empty()) std::fprintf(stderr, "chanset-cli: warning: %s\n", backup.warning.c_str());
    if (!backup.path.empty()) std::printf("backup: %s\n", backup.path.c_str());
  }
  VerifyReport report = ReportReadBack(back, sent, path, options.chinese, names);
  if (report.status == 0) {
    std::printf("%s\n", report.verdict.c_str());
    return 0;
  }
  std::fflush(stdout);
  std::fprintf(stderr, "chanset-cli: %s\n", report.verdict.c_str());
  for (const std::string& line : report.differences) std::fprintf(stderr, "%s\n", line.c_str());
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
  if (!result.ok()) return Interrupted() ? ReportStopped(options.chinese) : 1;
  std::printf("wrote 62 rows of %s to %s\n", in.c_str(), ports[0].path.c_str());
  int status = options.verify ? ReportCheck(back, image, ports[0].path, options, names.get()) : 0;
  return Interrupted() ? ReportStopped(options.chinese) : status;
}

}  // namespace cli
