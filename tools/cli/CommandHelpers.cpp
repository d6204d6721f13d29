// Helpers shared by several chanset-cli commands.
#include "data/DatFile.h"
#include "tools/cli/CliCommand.h"

namespace cli {

bool LoadForCommand(const std::string& path, chanset::Image& image, bool chinese) {
  std::string reason;
  switch (chanset::LoadDatFile(path, image, &reason)) {
    case chanset::DatError::None:
      return true;
    case chanset::DatError::Io:
      Fail("cannot read " + path + ": " + reason);
      return false;
    case chanset::DatError::Format:
    case chanset::DatError::EndOfFile:  // a short file is no configuration file either
      Fail(path + ": " + chanset::DatFormatErrorText(chinese));
      return false;
  }
  return false;
}

bool TakeLanguage(Args& args, bool& chinese) {
  std::string lang = "en";
  std::string error;
  if (!TakeOption(args, "--lang", lang, error) && !error.empty()) {
    Fail(error);
    return false;
  }
  if (lang != "en" && lang != "zh") {
    Fail("--lang takes en or zh, not '" + lang + "'");
    return false;
  }
  chinese = lang == "zh";
  return true;
}

}  // namespace cli
