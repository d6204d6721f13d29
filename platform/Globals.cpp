#include "platform/Globals.h"

namespace chanset {

std::string g_strLanguage;
bool g_bChinese = false;
std::string g_strHelpFile;
std::string g_strAppDir;
std::string g_strPortName = "COM1";
std::string g_strTitle;
bool g_bFreshDocument = false;

void SetLanguage(const std::string& language) {
  g_strLanguage = language;
  g_bChinese = (language == "Chinese");
  g_strHelpFile = g_bChinese ? "chHelp.qch" : "enHelp.qch";
}

}  // namespace chanset
