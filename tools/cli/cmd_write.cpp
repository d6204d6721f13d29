// chanset-cli write --port COMn|PATH IN.dat
#include <cstdio>
#include <string>

#include "data/DatFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"

namespace cli {

int RunWrite(const Args& arguments) {
  Args args = arguments;
  std::string portArg, error;
  if (!TakeOption(args, "--port", portArg, error)) return Fail(error.empty() ? "write needs --port COMn|PATH" : error);
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) return Fail("usage: write --port COMn|PATH IN.dat");
  const std::string& in = args[0];
  std::string path = ResolvePortForCommand(portArg);
  if (path.empty()) return 1;

  chanset::Image image = chanset::NewImage();
  if (!LoadForCommand(in, image, false)) return 1;

  chanset::TransferResult result = RunConsoleTransfer(path, chanset::TransferDirection::Write, image);
  if (!result.ok()) return 1;
  std::printf("wrote 62 rows of %s to %s\n", in.c_str(), path.c_str());
  return 0;
}

}  // namespace cli
