#include "dialogs/CSettingsDialog.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/CCommandHost.h"
#include "platform/CHelpService.h"

CSettingsDialog::CSettingsDialog(CCommandHost* host, int templateId, const CDialogTemplate::Factory& factory)
    : QDialog(host ? host->HostWindow() : nullptr), m_pHost(host) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  m_bBuilt = m_dlg.Create(this, templateId, factory);
}

CChansetDoc* CSettingsDialog::ActiveDocument() const {
  return m_pHost ? m_pHost->ActiveDocument() : nullptr;
}

void CSettingsDialog::EnableControlHelp() {
  m_bControlHelp = true;
  for (QWidget* control : m_dlg.Controls()) control->installEventFilter(this);
}

bool CSettingsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (m_bControlHelp && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    const int id = CDialogTemplate::ControlId(QApplication::focusWidget());
    if (id > 0) CHelpService::ShowTopic(id);
  }
  return QDialog::eventFilter(watched, event);
}
