// chanset-cli read --port COMn|PATH OUT.dat
#include <cstdio>
#include <string>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"

namespace cli {

int RunRead(const Args& arguments) {
  Args args = arguments;
  std::string portArg, error;
  if (!TakeOption(args, "--port", portArg, error)) return Fail(error.empty() ? "read needs --port COMn|PATH" : error);
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) return Fail("usage: read --port COMn|PATH OUT.dat");
  const std::string& out = args[0];
  std::string path = ResolvePortForCommand(portArg);
  if (path.empty()) return 1;

  // Make sure the result can be stored before the radio is read.
  if (!chanset::CanWriteFile(out, &error)) return Fail("cannot write " + out + ": " + error);

  // Rows 62..63 never come from the radio: they are a new image's.
  chanset::Image image = chanset::NewImage();
  chanset::TransferResult result = RunConsoleTransfer(path, chanset::TransferDirection::Read, image);
  if (!result.ok()) return 1;
  if (chanset::StoreDatFile(out, image, &error) != chanset::DatError::None)
    return Fail("cannot write " + out + ": " + error);
  std::printf("read 62 rows from %s into %s\n", path.c_str(), out.c_str());
  return 0;
}

}  // namespace cli
