// chanset-radio-sim: a radio on a pseudo-terminal, for trying the clone
// transfer without hardware. The first line of output is the device path to
// open as the serial port.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/DatFile.h"
#include "platform/TerminalText.h"
#include "platform/Version.h"
#include "tools/radio_sim/SampleImage.h"
#include "tools/radio_sim/Simulator.h"

namespace {

// The help, laid out as help2man reads it: the manual page
// chanset-radio-sim(1) is made from it.
const char kUsage[] =
    "Usage: chanset-radio-sim [--image FILE.dat] [--save FILE.dat] [--link PATH] [--fast]\n"
    "                         [--exit-after N] [--fault FAULT]... [--stats FILE] [--verbose]\n"
    "  or:  chanset-radio-sim --version | --help\n"
    "Answers the radio's side of the clone transfer on a pseudo-terminal, so that chanset\n"
    "and chanset-cli can read and write a radio without hardware. Prints the\n"
    "pseudo-terminal to open as the serial port, then answers clone transfers until\n"
    "SIGTERM or SIGINT, or until N transfers have passed the handshake and ended.\n"
    "\n"
    "Options:\n"
    "  --image FILE.dat  the radio's memory (default: a few sample channels)\n"
    "  --save FILE.dat   store the memory after every completed write\n"
    "  --link PATH       also make PATH a symbolic link to the device\n"
    "  --fast            answer at once instead of at 9600 baud\n"
    "  --exit-after N    end after N transfers\n"
    "  --fault FAULT     misbehave as FAULT says (may be given more than once)\n"
    "  --stats FILE      append a line per transfer: the silence the line had before\n"
    "                    the data bytes of each write block (the protocol pauses 1 ms)\n"
    "  --verbose         describe each step, and those lines, on standard error\n"
    "  -h, --help        print this help and exit\n"
    "  --version         print the version and exit\n"
    "\n"
    "Faults (blocks are 0..123):\n"
    "  silent                never answer\n"
    "  no-ack-stage1         answer the magic with 0x15\n"
    "  no-ack-stage2         leave the first handshake's closing ACK unanswered\n"
    "  no-ack-stage2-always  leave every handshake's closing ACK unanswered\n"
    "  short-reply:N         send 11 bytes instead of 12 for block N\n"
    "  wrong-ack:N           answer 0x15 instead of ACK at block N (read or write)\n"
    "  hangup:N              the device disappears when block N is asked for\n"
    "  corrupt-write:N       acknowledge a write of block N but store its first byte\n"
    "                        with the lowest bit flipped\n"
    "\n"
    "Exit status:\n"
    "  0  the simulator ended normally\n"
    "  1  the simulator could not start\n"
    "  2  a usage error\n";

// Every message names paths and words from the command line: written out
// safely, one line at a time.
void Say(const std::string& text) {
  const std::string line = "chanset-radio-sim: " + chanset::TerminalText(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

int Usage(const std::string& problem) {
  Say(problem);
  std::fputs(kUsage, stderr);
  return 2;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

bool ParseFault(const std::string& text, radiosim::Faults& faults) {
  if (text == "silent") return faults.silent = true;
  if (text == "no-ack-stage1") return faults.nakStageOne = true;
  if (text == "no-ack-stage2") return (faults.stageTwoSilences = 1), true;
  if (text == "no-ack-stage2-always") return (faults.stageTwoSilences = -1), true;
  std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  std::string name = text.substr(0, colon);
  int* block = name == "short-reply" ? &faults.shortReplyBlock
               : name == "wrong-ack" ? &faults.wrongAckBlock
               : name == "hangup"    ? &faults.hangUpBlock
               : name == "corrupt-write" ? &faults.corruptWriteBlock
                                     : nullptr;
  return block && ParseNumber(text.substr(colon + 1), 0, chanset::kTransferBlocks - 1, *block);
}

}  // namespace

int main(int argc, char** argv) {
  radiosim::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("chanset-radio-sim %s\n", chanset::kVersion);
      return 0;
    } else if (arg == "--fast") {
      options.fast = true;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--image" || arg == "--save" || arg == "--link" || arg == "--stats") {
      if (!value(v)) return Usage(arg + " needs a value");
      (arg == "--image"  ? options.imagePath
       : arg == "--save" ? options.savePath
       : arg == "--link" ? options.linkPath
                         : options.statsPath) = v;
    } else if (arg == "--exit-after") {
      if (!value(v) || !ParseNumber(v, 1, 1000000, options.exitAfter))
        return Usage("--exit-after needs a number of transfers (1 or more)");
    } else if (arg == "--fault") {
      if (!value(v) || !ParseFault(v, options.faults)) return Usage("unknown fault '" + v + "'");
    } else {
      return Usage("unknown argument '" + arg + "'");
    }
  }

  chanset::Image image = radiosim::SampleImage();
  if (!options.imagePath.empty()) {
    std::string error;
    chanset::DatError e = chanset::LoadDatFile(options.imagePath, image, &error, true);
    if (e != chanset::DatError::None) {
      const char* why = e == chanset::DatError::Format      ? "not a configuration file (no S333 header)"
                        : e == chanset::DatError::EndOfFile ? "too short for a configuration file"
                                                            : error.c_str();
      Say(options.imagePath + ": " + why);
      return 1;
    }
  }

  radiosim::PrepareSignals();
  radiosim::Simulator sim(options, image);
  std::string error;
  if (!sim.Start(error)) {
    Say(error);
    return 1;
  }
  std::printf("%s\n", sim.SlavePath().c_str());
  std::fflush(stdout);
  return sim.Run();
}
