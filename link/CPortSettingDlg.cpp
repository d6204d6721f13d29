#include "link/CPortSettingDlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>
#include <QRadioButton>

#include "link/PortDiscovery.h"
#include "link/PortErrorText.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/UserRegistry.h"

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

static void Uncheck(QRadioButton* button) {
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(true);
}

void CPortSettingDlg::ProbePorts() {
  const DiscoveryRoots roots = DiscoveryRootsFromEnvironment();
  const QString hint = CLanguagePack::String(kStrDeviceHint);
  for (int n = 1; n <= kPortCount; ++n) {
    QRadioButton* button = PortButton(n);
    if (!button) continue;
    std::string path = DevicePathForPort(n);
    SystemError reason;
    bool opens = ProbePort(path, &reason);
    button->setEnabled(opens);
    QString tip = QString::fromStdString(path);
    if (opens) {
      // Which cable this is: the adapter's own name and its stable link.
      SerialDevice device = DescribeDevice(roots, path);
      std::string usb = UsbText(device);
      if (!usb.empty()) tip += QStringLiteral("\n") + QString::fromStdString(usb);
      if (!device.byId.empty() && device.byId != path) tip += QStringLiteral("\n") + QString::fromStdString(device.byId);
    } else {
      // Why not, as a transfer would say it; the system's words otherwise.
      const PortDetail detail = PortErrorDetailOf(reason, path);
      tip += QStringLiteral("\n") + (detail.id != 0 ? CLanguagePack::String(detail.id, detail.args)
                                                    : QString::fromStdString(reason.text));
      Uncheck(button);
    }
    if (!hint.isEmpty()) tip += QStringLiteral("\n") + hint;
    button->setToolTip(tip);
  }
}

void CPortSettingDlg::OnInitDialog() {
  // A choice left from an earlier showing is not carried over: only the
  // current port is offered checked, so OK never stores a port that was
  // not chosen this time.
  for (int n = 1; n <= kPortCount; ++n)
    if (QRadioButton* button = PortButton(n)) Uncheck(button);

  ProbePorts();

  // The current port, when it opens too.
  std::string current = ResolvePortArgument(g_strPortName);
  if (!current.empty() && ProbePort(current)) {
    int n = PortNumberFromName(g_strPortName);
    if (QRadioButton* button = PortButton(n)) button->setChecked(true);
  }
}

int CPortSettingDlg::PortAt(QWidget* widget) const {
  for (int n = 1; n <= kPortCount; ++n)
    if (widget && PortButton(n) == widget) return n;
  return 0;
}

void CPortSettingDlg::OfferDeviceMenu(int port, const QPoint& globalPos) {
  QMenu menu(this);
  QAction* edit = menu.addAction(CLanguagePack::String(kStrDeviceMenu).arg(QStringLiteral("COM%1").arg(port)));
  if (menu.exec(globalPos) == edit) EditDevice(port);
}

void CPortSettingDlg::contextMenuEvent(QContextMenuEvent* event) {
  // From the mouse, the button under it; from the keyboard, the focused one.
  QWidget* target = event->reason() == QContextMenuEvent::Mouse ? childAt(event->pos()) : focusWidget();
  int port = PortAt(target);
  if (port == 0) {
    QDialog::contextMenuEvent(event);
    return;
  }
  OfferDeviceMenu(port, event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                    : target->mapToGlobal(target->rect().center()));
}

void CPortSettingDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QWindow* window = windowHandle()) window->installEventFilter(this);
}

bool CPortSettingDlg::eventFilter(QObject* watched, QEvent* event) {
  // Qt delivers neither mouse nor context menu events to a disabled button,
  // but a port that cannot be opened is exactly the one whose device may
  // need changing: its right-click is taken from the window itself.
  if (watched == windowHandle() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    QWidget* target = childAt(mouse->position().toPoint());
    int port = PortAt(target);
    if (mouse->button() == Qt::RightButton && port != 0 && !target->isEnabled()) {
      OfferDeviceMenu(port, mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CPortSettingDlg::EditDevice(int port) {
  if (port < 1 || port > kPortCount) return false;
  const QString name = QStringLiteral("COM%1").arg(port);
  const std::string key = PortsRegistryKey();
  const std::string word = name.toStdString();
  const QString mapped = QString::fromStdString(UserRegistry::ReadString(key, word));
  const QString fallback = QString::fromStdString(DefaultDevicePath(port));

  // The devices found, by their stable names where they have one.
  QStringList offered;
  if (!mapped.isEmpty()) offered << mapped;
  for (const SerialDevice& d : FindSerialDevices(DiscoveryRootsFromEnvironment())) {
    QString text = QString::fromStdString(d.byId.empty() ? d.path : d.byId);
    if (!offered.contains(text)) offered << text;
  }

  QInputDialog ask(this);
  ask.setWindowTitle(CLanguagePack::String(kStrDeviceTitle).arg(name));
  ask.setLabelText(CLanguagePack::String(kStrDevicePrompt).arg(name, fallback));
  ask.setComboBoxEditable(true);
  ask.setComboBoxItems(offered);
  ask.setTextValue(mapped);
  ask.setOkButtonText(CLanguagePack::String(ids::kButtonOk));
  ask.setCancelButtonText(CLanguagePack::String(ids::kButtonCancel));
  // The question is a few sentences: wrapped, in a dialog of a sensible width.
  if (auto* label = ask.findChild<QLabel*>()) label->setWordWrap(true);
  ask.resize(fontMetrics().averageCharWidth() * 60, ask.sizeHint().height());
  if (ask.exec() != QDialog::Accepted) return false;

  std::string error;
  if (!UserRegistry::WriteString(key, word, ask.textValue().trimmed().toStdString(), &error)) {
    ShowNotSaved(error);
    return false;
  }
  int checked = CheckedPort();
  ProbePorts();
  if (QRadioButton* button = PortButton(checked); button && button->isEnabled()) button->setChecked(true);
  return true;
}

void CPortSettingDlg::ShowNotSaved(const std::string& reason) {
  CMessageBox::Show(this, CLanguagePack::String(ids::kRegistryNotWritten).arg(QString::fromStdString(reason)),
                    CMessageBox::Ok, CMessageBox::Exclamation);
}

void CPortSettingDlg::accept() {
  if (int n = CheckedPort()) {
    // A choice that cannot be remembered is said so; the dialog stays, so
    // the user can put the file right or cancel.
    std::string error;
    if (!StoreRememberedPort(n, &error)) {
      ShowNotSaved(error);
      return;
    }
    g_strPortName = PortName(n);
  }
  QDialog::accept();
}
