#include "platform/FontFaces.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // Tried in this order; faces that are not installed are passed over.
  const QStringList cjk = {QStringLiteral("WenQuanYi Zen Hei"),   QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("Noto Serif CJK SC"),   QStringLiteral("AR PL UMing CN"),
                           QStringLiteral("Droid Sans Fallback"), QStringLiteral("WenQuanYi Micro Hei")};
  for (const char* face : {"宋体", "SimSun", "新宋体", "NSimSun"})
    QFont::insertSubstitutions(QString::fromUtf8(face), cjk);
  const QStringList serif = {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"), serif);
  QFont::insertSubstitutions(QStringLiteral("Time New Roman"), serif);
}
