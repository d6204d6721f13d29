// chanset-cli read --port COMn|PATH OUT.dat
#include <cstdio>
#include <string>
#include <unistd.h>

#include "data/DatFile.h"
#include "link/PortNames.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"

namespace cli {

int RunRead(const Args& arguments) {
  Args args = arguments;
  std::string portArg, error;
  if (!TakeOption(args, "--port", portArg, error)) return Fail(error.empty() ? "read needs --port COMn|PATH" : error);
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) return Fail("usage: read --port COMn|PATH OUT.dat");
  const std::string& out = args[0];
  std::string path = chanset::ResolvePortArgument(portArg);
  if (path.empty()) return Fail("there is no port " + portArg + ": ports run from COM1 to COM16");

  // Make sure the result can be stored before the radio is read.
  std::size_t slash = out.rfind('/');
  std::string folder = slash == std::string::npos ? "." : out.substr(0, slash == 0 ? 1 : slash);
  if (access(folder.c_str(), W_OK) != 0) return Fail("cannot write " + out + ": the folder " + folder + " is not writable");

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
