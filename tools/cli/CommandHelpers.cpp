// Helpers shared by several chanset-cli commands.
#include <sys/stat.h>

#include "data/DatFile.h"
#include "link/PortNames.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsLocation.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

namespace cli {

bool LoadProgramSettings() {
  const bool given = !IniPath().empty();
  const std::string path = SettingsPathForCommand();
  struct stat st;
  if (given && (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))) {
    Fail(path + ": settings file not found");
    return false;
  }
  // Never saved: the command line changes no setting.
  if (!chanset::g_settingsFile().LoadPath(path, false, true, false) && given) {
    Fail("cannot read " + path);
    return false;
  }
  return true;
}

std::string InputPath(const std::string& word) { return word == "-" ? "/dev/stdin" : word; }

std::string OutputPath(const std::string& word) { return word == "-" ? "/dev/stdout" : word; }

bool WriteOutput(const std::string& word, const std::string& bytes) {
  std::string reason;
  if (chanset::WriteFileAtomic(OutputPath(word), bytes, &reason)) return true;
  Fail("cannot write " + word + ": " + reason);
  return false;
}

bool StoreForCommand(const std::string& word, const chanset::Image& image) {
  std::string reason;
  if (chanset::StoreDatFile(OutputPath(word), image, &reason) == chanset::DatError::None) return true;
  Fail("cannot write " + word + ": " + reason);
  return false;
}

bool SameFileWords(const std::string& input, const std::string& output) {
  return chanset::SameFile(InputPath(input), OutputPath(output));
}

bool LoadForCommand(const std::string& path, chanset::Image& image, bool chinese) {
  std::string reason;
  switch (chanset::LoadDatFile(InputPath(path), image, &reason, true)) {
    case chanset::DatError::None:
      return true;
    case chanset::DatError::Io:
    case chanset::DatError::NotAFile:
      Fail("cannot read " + path + ": " + reason);
      return false;
    case chanset::DatError::Format:
    case chanset::DatError::EndOfFile:  // a short file is no configuration file either
      Fail(path + ": " + chanset::DatFormatErrorText(chinese));
      return false;
  }
  return false;
}

std::string SettingsPathForCommand() {
  return IniPath().empty() ? chanset::ProgramSettingsFilePaths().read : IniPath();
}

bool LoadSettingsForCommand(chanset::CSettingsFile& settings) {
  const std::string ini = SettingsPathForCommand();
  struct stat st;
  if (stat(ini.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    Fail(ini + ": settings file not found (it names the radio types and bands)");
    return false;
  }
  if (!settings.LoadPath(ini, false, true, false)) {
    Fail("cannot read " + ini);
    return false;
  }
  return true;
}

std::unique_ptr<chanset::CSettingsFile> LoadNamesForCommand(bool& ok) {
  ok = true;
  // Without --ini, no settings file only means no names.
  const std::string ini = SettingsPathForCommand();
  struct stat st;
  if (IniPath().empty() && (stat(ini.c_str(), &st) != 0 || !S_ISREG(st.st_mode))) return nullptr;
  auto settings = std::make_unique<chanset::CSettingsFile>();
  ok = LoadSettingsForCommand(*settings);
  if (!ok) return nullptr;
  return settings;
}

bool LoadImportInputs(const std::string& csvPath, const std::string& basePath, chanset::CSettingsFile& settings,
                      chanset::Image& image, std::string& csvText) {
  if (!LoadSettingsForCommand(settings) || !LoadForCommand(basePath, image, false)) return false;
  // Read as `cat` would when it is standard input or a pipe; never more than
  // a channel table can be.
  chanset::InputRules rules;
  rules.streams = true;
  std::string reason;
  switch (chanset::ReadInput(InputPath(csvPath), csvText, rules, &reason)) {
    case chanset::InputStatus::Ok:
      return true;
    case chanset::InputStatus::TooLarge:
      Fail(csvPath + ": " + reason);
      return false;
    default:
      Fail("cannot read " + csvPath + ": " + reason);
      return false;
  }
}

bool TakeLanguage(Args& args, bool& chinese) {
  std::string error;
  if (TakeLanguage(args, chinese, error)) return true;
  Fail(error);
  return false;
}

bool TakeLanguage(Args& args, bool& chinese, std::string& error) {
  std::string lang = "en";
  if (!TakeOption(args, "--lang", lang, error) && !error.empty()) return false;
  if (lang != "en" && lang != "zh") {
    error = "--lang takes en or zh, not '" + lang + "'";
    return false;
  }
  chinese = lang == "zh";
  return true;
}

}  // namespace cli
