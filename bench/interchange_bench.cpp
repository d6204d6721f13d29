// Channel import, export and paste speed, and what a large file costs:
// - a 10 000-row CHIRP CSV file (16 rows fit, the rest are refused), the
//   same renumbered, a file of 16 rows, the export of 16 channels;
// - a paste of 100 000 rows of text (refused at once) and of 16 valid rows
//   (planned and applied);
// - `chanset-cli import` of a 16 MiB CSV file of refused rows: wall time,
//   peak memory of the process, lines on stderr.
// Prints the best of several runs of each, in milliseconds.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "bench/BenchSupport.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "editor/ChannelClipboard.h"
#include "editor/ChannelImport.h"
#include "editor/ChirpCsv.h"

using namespace chanset;

using bench::BestMs;
using bench::ChirpFile;

namespace {

// Runs the command line tool with stderr into `errPath`; the wall time in
// milliseconds and the child's peak resident memory in KiB.
bool RunCli(const std::vector<std::string>& args, const std::string& errPath, double& ms, long& peakKiB,
            int& status) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(err, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  peakKiB = usage.ru_maxrss;
  return true;
}

}  // namespace

int main() {
  ImportOptions options;
  options.bandText = "400-470MHz";
  options.limits = DeriveBandLimits(options.bandText);
  const std::string big = ChirpFile(10000), small = ChirpFile(16);
  int accepted = 0;

  const double bigMs = BestMs(5, [&] { accepted = ImportChannels(big, options).AcceptedCount(); });
  std::printf("import 10000 CHIRP rows (%d accepted):   %8.2f ms\n", accepted, bigMs);
  options.renumber = true;
  std::printf("the same, renumbered:                    %8.2f ms\n",
              BestMs(5, [&] { ImportChannels(big, options); }));
  options.renumber = false;
  std::printf("import 16 CHIRP rows:                    %8.3f ms  (under 5)\n",
              BestMs(50, [&] { ImportChannels(small, options); }));

  Image image = NewImage();
  ApplyImport(ImportChannels(small, options), image);
  std::printf("export 16 channels as CHIRP CSV:         %8.3f ms  (under 5)\n",
              BestMs(50, [&] { WriteChirpCsv(image); }));

  std::vector<int> all;
  for (int n = 1; n <= kChannelCount; ++n) all.push_back(n);
  const std::string text = ChannelsAsText(image, all, false);
  const RowRules rules{options.limits, options.bandText, false};
  std::printf("16-row text paste, planned and applied:  %8.3f ms  (under 5)\n", BestMs(50, [&] {
                Image target = NewImage();
                ApplyPaste(PlanTextPaste(text, 1, rules), target);
              }));
  std::string huge;
  for (int i = 0; i < 100000; ++i) huge += "446.00625\t446.00625\tNone\tNone\tWide\tYes\tOff\tHigh\n";
  bool refused = false;
  const double hugeMs = BestMs(10, [&] { refused = !PlanTextPaste(huge, 1, rules).Accepted(); });
  std::printf("100000-row text paste (%s):         %8.3f ms  (under 50)\n", refused ? "refused" : "ACCEPTED", hugeMs);

  // The command line tool on 16 MiB of refused rows.
  char dir[] = "/tmp/chanset-bench-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string d = dir;
  {
    std::ofstream ini(d + "/Chanset.ini");
    ini << "[Setup]\nType1=UHF\nField1=400-470MHz\n";
    std::ofstream csv(d + "/refused.csv", std::ios::binary);
    csv << CsvLine(kChirpColumns);
    const std::string row = "40,Name,480.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,5.0W,\n";
    for (std::size_t size = 0; size + row.size() <= 16u * 1024 * 1024 - 200; size += row.size()) csv << row;
  }
  Image base = NewImage();
  base[off::kRadioType] = base[off::kBand] = 0;
  if (StoreDatFile(d + "/base.dat", base) != DatError::None) return 1;
  const std::string cli = std::string(CHANSET_APP_DIR) + "/chanset-cli";
  double ms = 0;
  long peak = 0;
  int status = 0;
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    if (!RunCli({cli, "--ini", d + "/Chanset.ini", "import", d + "/refused.csv", d + "/base.dat", d + "/out.dat"},
                d + "/err.txt", ms, peak, status))
      return 1;
    best = std::min(best, ms);
  }
  std::ifstream err(d + "/err.txt");
  int lines = 0;
  for (std::string line; std::getline(err, line);) ++lines;
  std::printf("chanset-cli import of 16 MiB of refused rows: %.0f ms (under 2000), peak %ld KiB (under 65536), "
              "%d stderr lines (under 100), exit %d\n",
              best, peak, lines, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  std::system(("rm -rf '" + d + "'").c_str());
  return 0;
}
