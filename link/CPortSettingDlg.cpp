#include "link/CPortSettingDlg.h"

#include <QRadioButton>

#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

using namespace chanset;

CPortSettingDlg::CPortSettingDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  m_template.Create(this, ids::kPortSettingDialog);
  m_template.ConnectOkCancel(this);
}

QRadioButton* CPortSettingDlg::PortButton(int port) const {
  if (port < 1 || port > kPortCount) return nullptr;
  return m_template.Control<QRadioButton>(kFirstPortButton - 1 + port);
}

int CPortSettingDlg::CheckedPort() const {
  for (int n = 1; n <= kPortCount; ++n)
    if (QRadioButton* b = PortButton(n); b && b->isChecked()) return n;
  return 0;
}

int CPortSettingDlg::DoModal() {
  OnInitDialog();
  return exec();
}

void CPortSettingDlg::OnInitDialog() {
  // A choice left from an earlier showing is not carried over: only the
  // current port is offered checked, so OK never stores a port that was
  // not chosen this time.
  for (int n = 1; n <= kPortCount; ++n) {
    QRadioButton* button = PortButton(n);
    if (!button) continue;
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }

  for (int n = 1; n <= kPortCount; ++n) {
    QRadioButton* button = PortButton(n);
    if (!button) continue;
    std::string path = DevicePathForPort(n);
    SystemError reason;
    bool opens = ProbePort(path, &reason);
    button->setEnabled(opens);
    QString tip = QString::fromStdString(path);
    if (!opens) tip += QStringLiteral("\n") + QString::fromStdString(reason.text);
    button->setToolTip(tip);
  }

  // The current port, when it opens too.
  std::string current = ResolvePortArgument(g_strPortName);
  if (!current.empty() && ProbePort(current)) {
    int n = PortNumberFromName(g_strPortName);
    if (QRadioButton* button = PortButton(n)) button->setChecked(true);
  }
}

void CPortSettingDlg::accept() {
  if (int n = CheckedPort()) {
    g_strPortName = PortName(n);
    StoreRememberedPort(n);
  }
  QDialog::accept();
}
