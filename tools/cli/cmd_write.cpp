// chanset-cli write --port COMn|PATH IN.dat
#include <cstdio>
#include <string>

#include "data/DatFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"
#include "tools/cli/PortArgument.h"

namespace cli {

int RunWrite(const Args& arguments) {
  Args args = arguments;
  std::string portArg, error;
  if (!TakeOption(args, "--port", portArg, error)) return Fail(error.empty() ? "write needs --port COMn|PATH" : error);
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) return Fail("usage: write --port COMn|PATH IN.dat");
  const std::string& in = args[0];
  std::string path;
  if (!PortPathFromArgument(portArg, path, error)) return Fail(error);

  chanset::Image image = chanset::NewImage();
  switch (chanset::LoadDatFile(in, image, &error)) {
    case chanset::DatError::None:
      break;
    case chanset::DatError::Format:
      return Fail(in + ": not a configuration file (it does not begin with S333)");
    case chanset::DatError::EndOfFile:
      return Fail(in + ": too short for a configuration file (1040 bytes)");
    case chanset::DatError::Io:
      return Fail(in + ": " + error);
  }

  chanset::TransferResult result = RunConsoleTransfer(path, chanset::TransferDirection::Write, image);
  if (!result.ok()) return 1;
  std::printf("wrote 62 rows of %s to %s\n", in.c_str(), path.c_str());
  return 0;
}

}  // namespace cli
