#pragma once
// The Port Setting dialog (template 144): sixteen radio buttons COM1..COM16.
// Each showing probes every port and enables only those that can be opened
// at that moment, checks the current port when it opens, and shows each
// port's device path as the button's tooltip: with the cable's USB maker and
// product and its stable by-id name when the port opens, with the reason
// when it does not. OK makes the checked port the current one and remembers
// it at once.
//
// The device map: right-clicking a port (enabled or not), or the context
// menu key on the focused one, offers "Device of COMn...", which asks for
// the device path of that port (the serial devices found are offered) and
// keeps it in the user's registry, section Software\<AppName>\Ports.
#include <QDialog>
#include <string>

#include "platform/CDialogTemplate.h"

class QRadioButton;

class CPortSettingDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kFirstPortButton = 1007;  // port n has button 1006 + n
  // String-table texts of the device map.
  static constexpr int kStrDeviceMenu = 61760;    // "Device of %1..."
  static constexpr int kStrDeviceTitle = 61761;   // "Device of %1"
  static constexpr int kStrDevicePrompt = 61762;  // the question, %1 the port, %2 its default device
  static constexpr int kStrDeviceHint = 61763;    // the tooltip's last line

  explicit CPortSettingDlg(QWidget* parent = nullptr);

  // Probes the ports and runs the dialog modally.
  int DoModal();
  // Probes every port, enables and checks the buttons. Run by DoModal.
  void OnInitDialog();

  // The button of port n (1..16).
  QRadioButton* PortButton(int port) const;
  // The checked port, 0 when none is checked.
  int CheckedPort() const;

  // Asks for the device of port n and stores it in the device map (an empty
  // answer returns the port to its default device); the ports are probed
  // again, keeping the user's check where it still can be. False when the
  // question was cancelled or the map could not be written (which is said).
  bool EditDevice(int port);

 public slots:
  // OK: stores the checked port (nothing without one), then closes. When
  // the registry cannot be written it says so and stays open.
  void accept() override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ProbePorts();
  int PortAt(QWidget* widget) const;
  void OfferDeviceMenu(int port, const QPoint& globalPos);
  // The message that the registry could not be written, with `reason`.
  void ShowNotSaved(const std::string& reason);

  CDialogTemplate m_template;
};
