// chanset-cli read --port COMn|PATH [--trace FILE] [--quiet] [--no-backup] [--lang en|zh] OUT.dat
// chanset-cli read --port A --port B ... [same options] DIR
// OUT.dat may be "-" (standard output): the lines about it then go to stderr.
// Every radio read completely is also kept in the backups folder.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"
#include "tools/cli/Fleet.h"
#include "tools/cli/TransferChecks.h"

namespace cli {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int RunRead(const Args& args) {
  std::vector<PortTarget> ports;
  std::string out, error;
  TransferOptions options;
  // COMn follows the port map of the program's settings (AppName).
  if (!LoadProgramSettings()) return 1;
  if (!ParseTransferArgs(args, "read", ports, out, options, error)) return Fail(error);

  // Make sure the results can be stored before any radio is read, and that
  // the trace overwrites none of them.
  if (ports.size() > 1) {
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    std::vector<std::string> files;
    for (const PortTarget& p : ports) files.push_back(FleetFileOf(out, p));
    if (!CheckTrace(ports, files, options)) return 1;
    if (!IsDirectory(out) && mkdir(out.c_str(), 0777) != 0) {
      const int err = errno;
      return Fail("cannot make the folder " + out + " for the radios' files: " +
                  (err == EEXIST ? "a file of that name exists" : std::strerror(err)));
    }
    if (access(out.c_str(), W_OK) != 0) return Fail("cannot write into " + out + ": the folder is not writable");
    return RunFleet(ports, chanset::TransferDirection::Read, chanset::NewImage(), out, options);
  }
  const std::string target = OutputPath(out);
  if (!CheckTrace(ports, {target}, options)) return 1;
  if (IsDirectory(target)) return Fail(out + " is a folder: one radio is read into a file");
  if (!chanset::CanWriteFile(target, &error)) return Fail("cannot write " + out + ": " + error);

  chanset::TraceSink trace;
  if (!options.tracePath.empty() && !OpenTrace(options.tracePath, trace)) return 1;
  // Rows 62..63 never come from the radio: they are a new image's.
  chanset::Image image = chanset::NewImage();
  CatchInterrupt();
  chanset::TransferResult result = RunConsoleTransfer(ports[0], chanset::TransferDirection::Read, image, options, &trace);
  ReleaseInterrupt();
  WarnTraceLoss(trace);
  // Interrupted: nothing is stored, whatever arrived.
  if (Interrupted()) return ReportStopped(options.chinese);
  if (!result.ok()) return 1;
  // The backup first: it keeps what the radio held even when OUT cannot be
  // written.
  BackupNote backup = BackUpRead(image, options);
  if (!backup.warning.empty()) PrintLine(stderr, "chanset-cli: warning: " + backup.warning);
  if (chanset::StoreDatFile(target, image, &error) != chanset::DatError::None)
    return Fail("cannot write " + out + ": " + error +
                (backup.path.empty() ? "" : "; what was read is kept in " + backup.path));
  // The image itself may have gone to standard output: the notes go beside it.
  std::FILE* notes = chanset::SameFile(target, "/dev/stdout") ? stderr : stdout;
  PrintLine(notes, "read 62 rows from " + ports[0].path + " into " + out);
  if (!backup.path.empty()) PrintLine(notes, "backup: " + backup.path);
  return 0;
}

}  // namespace cli
