#pragma once
// Qt's own texts (standard buttons, the file, print and page set-up dialogs,
// print preview, the channel window's window menu) in the interface
// language. The language pack names its Qt locale ("zh_CN") in pack.json;
// Qt's translation of that locale comes from Qt's translations folder
// (Debian: qt6-translations-l10n). A pack in a language Qt has no
// translation for, or English, leaves Qt's texts in English.
#include <QString>

class CQtTranslations {
 public:
  // Installs Qt's translation for `locale` (e.g. "zh_CN", "de"), replacing
  // one installed before. False when there is none to install.
  static bool Install(const QString& locale);
  // Removes what Install installed.
  static void Remove();
};
