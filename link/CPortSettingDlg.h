#pragma once
// The Port Setting dialog (template 144): sixteen radio buttons COM1..COM16.
// Each showing probes every port and enables only those that can be opened
// at that moment, checks the current port when it opens, and shows each
// port's device path (and why it cannot be used) as the button's tooltip.
// OK makes the checked port the current one and remembers it at once.
#include <QDialog>

#include "platform/CDialogTemplate.h"

class QRadioButton;

class CPortSettingDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kFirstPortButton = 1007;  // port n has button 1006 + n

  explicit CPortSettingDlg(QWidget* parent = nullptr);

  // Probes the ports and runs the dialog modally.
  int DoModal();
  // Probes every port, enables and checks the buttons. Run by DoModal.
  void OnInitDialog();

  // The button of port n (1..16).
  QRadioButton* PortButton(int port) const;
  // The checked port, 0 when none is checked.
  int CheckedPort() const;

 public slots:
  // OK: stores the checked port (nothing without one), then closes.
  void accept() override;

 private:
  CDialogTemplate m_template;
};
