#include "app/CAboutDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/Version.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {
QString Setting(const char* key) {
  return QString::fromStdString(g_settingsFile().GetValue(g_strLanguage, key, ""));
}
}  // namespace

QString CAboutDlg::ProgramVersionText() {
  return QStringLiteral("Chanset ") + QString::fromLatin1(chanset::kVersion);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  // A frame with caption and close box only: no help or size buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
}

bool CAboutDlg::OnInitDialog() {
  if (!m_bBuilt) {
    if (!m_form.Create(this, ids::kAboutDialog)) return false;
    m_bBuilt = true;
    if (auto* ok = m_form.Control<QPushButton>(IdOk)) {
      connect(ok, &QPushButton::clicked, this, &QDialog::accept);
      ok->setAutoDefault(true);
    }
  }
  setWindowTitle(Setting("About Title"));
  // Version has no access-key prefix in the template, so an "&" in it is
  // shown as it is; in the other two lines it marks an access key.
  m_form.SetText(IdVersion, Setting("Version"));
  m_form.SetText(IdCopyrights, Setting("Copyrights"));
  m_form.SetText(IdOwner, Setting("Copyrights Owner"));
  // The lines are the site's own texts and stay exactly as the settings file
  // gives them; the program's version is the tooltip of the version line and
  // of the icon, where it is at hand when a shop asks which build runs.
  for (int id : {IdVersion, IdIcon})
    if (QWidget* control = m_form.Control(id)) control->setToolTip(ProgramVersionText());

  m_bTitleIcon = false;
  if (auto* picture = m_form.Control<QLabel>(IdIcon)) {
    QIcon icon(QString::fromStdString(g_strAppDir) + QStringLiteral("title.ico"));
    const QList<QSize> sizes = icon.availableSizes();
    if (!sizes.isEmpty()) {
      // At its own size: the first image the file holds.
      QPixmap pixmap = icon.pixmap(sizes.first());
      if (!pixmap.isNull()) {
        picture->setPixmap(pixmap);
        picture->resize(pixmap.size());
        m_bTitleIcon = true;
      }
    }
  }
  if (auto* ok = m_form.Control(IdOk)) ok->setFocus();
  return true;
}

int CAboutDlg::DoModal() {
  if (!OnInitDialog()) return -1;
  return exec();
}
