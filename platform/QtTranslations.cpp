#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {
std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}
}  // namespace

bool CQtTranslations::Install(const QString& locale) {
  Remove();
  if (locale.isEmpty() || !QCoreApplication::instance()) return false;
  auto translator = std::make_unique<QTranslator>();
  // qtbase holds the texts of the widgets, dialogs and printing; the locale's
  // fallbacks ("zh_Hans_CN", "zh") are tried in turn.
  if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  if (!QCoreApplication::installTranslator(translator.get())) return false;
  Installed() = std::move(translator);
  return true;
}

void CQtTranslations::Remove() {
  if (!Installed()) return;
  QCoreApplication::removeTranslator(Installed().get());
  Installed().reset();
}
