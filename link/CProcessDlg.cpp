#include "link/CProcessDlg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

CProcessDlg::CProcessDlg(QWidget* owner) : QDialog(owner), m_pOwner(owner) {
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QPushButton* CProcessDlg::OkButton() const { return m_template.Control<QPushButton>(IdOk); }
QPushButton* CProcessDlg::CancelButton() const { return m_template.Control<QPushButton>(IdCancel); }
QLabel* CProcessDlg::Counter() const { return m_template.Control<QLabel>(IdCounter); }

bool CProcessDlg::IsBusy() const { return m_bWindow && OkButton() && !OkButton()->isEnabled(); }

bool CProcessDlg::ShowWindow() {
  if (m_bWindow) return true;
  if (!m_bBuilt) {
    if (!m_template.Create(this, ids::kProcessDialog)) return false;
    m_pProgress = m_template.Control<QProgressBar>(IdProgress);
    if (QPushButton* ok = OkButton()) connect(ok, &QPushButton::clicked, this, &CProcessDlg::OnOK);
    if (QPushButton* cancel = CancelButton()) connect(cancel, &QPushButton::clicked, this, &CProcessDlg::reject);
    m_bBuilt = true;
  }
  // The window belongs to the owner's top-level window rather than to the
  // owner itself: the view is disabled while a transfer runs, and Cancel
  // must stay usable then.
  QWidget* top = m_pOwner ? m_pOwner->window() : nullptr;
  if (top && parentWidget() != top) setParent(top, windowFlags());
  OnInitDialog();
  m_bWindow = true;
  show();
  // Centred over the main window, or on the screen when it is not shown.
  QRect area = top && top->isVisible() ? top->frameGeometry()
                                          : (screen() ? screen()->availableGeometry() : QRect());
  if (area.isValid()) move(area.center() - rect().center());
  raise();
  activateWindow();
  return true;
}

void CProcessDlg::OnInitDialog() {
  if (m_pProgress) {
    m_pProgress->setRange(0, kRows);
    m_pProgress->setValue(0);
  }
  setWindowTitle(m_strCaption);
  if (m_pProgress) m_pProgress->setAccessibleName(m_strCaption);
  m_bCancel = 0;
  if (QPushButton* ok = OkButton()) {
    ok->setEnabled(true);
    ok->setDefault(true);
    ok->setFocus();
  }
  SetProgress(0);
}

void CProcessDlg::SetCaption(const QString& caption) {
  m_strCaption = caption;
  if (m_pProgress) m_pProgress->setAccessibleName(caption);
  if (m_bWindow) setWindowTitle(caption);
}

void CProcessDlg::OnOK() {
  QPushButton* ok = OkButton();
  if (!m_bWindow || !ok || !ok->isEnabled()) return;
  ok->setEnabled(false);
  if (m_pOwner) QCoreApplication::postEvent(m_pOwner, new QEvent(WM_START_TRANSFER));
}

void CProcessDlg::reject() {
  m_bCancel = 1;
  // Before OK nothing has started: the window goes at once.
  if (!IsBusy()) {
    DestroyWindow();
    return;
  }
  emit cancelRequested();
}

void CProcessDlg::DestroyWindow() {
  m_bWindow = false;
  hide();
}

void CProcessDlg::SetProgress(int rows) {
  if (m_pProgress) m_pProgress->setValue(rows);
  if (QLabel* counter = Counter()) {
    counter->setText(QString::asprintf("%d", rows));
    // Read out as "12 of 62 rows"; the bar is named after the caption.
    counter->setAccessibleName(CLanguagePack::String(ids::kTransferProgressName).arg(rows).arg(kRows));
  }
}
