#include "app/Startup.h"

#include <cctype>

#include "data/ChannelCodec.h"

namespace chanset {

long LeadingInteger(const std::string& value) { return static_cast<long>(ParseLeadingInteger(value)); }

bool ShowLanguageCommand(const std::string& showLangValue) { return LeadingInteger(showLangValue) != 0; }

std::string LanguagePackFileName(const std::string& language) { return language + ".rcc"; }

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cmd;
  if (args.empty()) return cmd;
  auto isSwitch = [](const std::string& a, const char* name) {
    if (a.size() < 2 || (a[0] != '/' && a[0] != '-')) return false;
    std::string rest = a.substr(1);
    for (char& c : rest) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return rest == name;
  };
  if (args[0] == "--print-pdf" && args.size() >= 3) {
    cmd.kind = CommandLine::FilePrintPdf;
    cmd.file = args[1];
    cmd.output = args[2];
  } else if (isSwitch(args[0], "pt") && args.size() >= 3) {
    cmd.kind = CommandLine::FilePrintTo;
    cmd.file = args[1];
    cmd.printer = args[2];
  } else if (isSwitch(args[0], "p") && args.size() >= 2) {
    cmd.kind = CommandLine::FilePrint;
    cmd.file = args[1];
  } else if (!args[0].empty() && args[0][0] != '-' && !isSwitch(args[0], "p") && !isSwitch(args[0], "pt")) {
    cmd.kind = CommandLine::FileOpen;
    cmd.file = args[0];
  }
  return cmd;
}

const char* LoadLanguagePackFailedText(bool chinese) {
  return chinese ? "加载语言链接库失败" : "Load language DLL fail";
}

std::string StartupFailureText(bool chinese, bool settingsMissing, const std::string& path) {
  const char* detail = settingsMissing
                           ? (chinese ? "找不到设置文件：" : "The settings file was not found: ")
                           : (chinese ? "无法加载语言包：" : "The language pack could not be loaded: ");
  return std::string(LoadLanguagePackFailedText(chinese)) + "\n" + detail + path;
}

}  // namespace chanset
