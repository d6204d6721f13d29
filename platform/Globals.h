#pragma once
// Process-wide values that live for the whole run. They are set once during
// start-up (or by the command that owns them) and read everywhere else.
#include <string>

namespace chanset {

extern std::string g_strLanguage;   // [Setup] Language; names the language section and pack
extern bool g_bChinese;             // true exactly when g_strLanguage == "Chinese"
extern std::string g_strHelpFile;   // help file of the language
extern std::string g_strAppDir;     // application directory, trailing '/'
extern std::string g_strPortName;   // device name of the selected port, "COM1" at start
extern std::string g_strTitle;      // main window title built from type and band
extern bool g_bFreshDocument;       // set by New, cleared by a load or a complete radio read

// Fixes g_strLanguage, g_bChinese and g_strHelpFile from a "Language" value.
void SetLanguage(const std::string& language);

}  // namespace chanset
