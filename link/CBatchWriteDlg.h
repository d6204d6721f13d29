#pragma once
// Program -> Write to Several Radios: the document written to every radio
// plugged in, all at once (link/RadioFleet.h), each radio on its own row.
//
//   [x] usb-FTDI_FT232R_USB_UART_A10K3XQ2-if00-port0   FTDI FT232R USB UART   COM1   [#####     writing 48%]
//   [x] usb-Prolific_..._0123-if00-port0               Prolific USB-Serial    COM2   verified
//   [ ] ttyS0                                                                 COM13  cannot be opened: ...
//
// Every serial device that `chanset-cli ports` lists has a row; those that
// can be opened are checked. Start writes the document (taken as Write takes
// it: the grid committed and encoded first) to every checked row at once,
// with its read-back when Verify After Write is on; each row's bar then turns
// into its result in words, and every radio whose port opened adds its line
// to the write log (link/WriteLog.h). Cancel stops every radio at once. Cables plugged
// in or pulled out add and remove rows as they come (CDeviceWatcher); a
// device that goes while it is written ends its row "cable pulled".
//
// The dialog is window-modal: while it is up the document stays as it was
// sent. Its owner hears batchStarted and batchEnded: while radios are
// written, the program counts as transferring (no Exit, no other transfer).
#include <QDialog>
#include <QVector>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "data/MemoryImage.h"
#include "link/PortDiscovery.h"
#include "link/WriteOutcome.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace chanset {
class RadioFleet;
}

class CBatchWriteDlg : public QDialog {
  Q_OBJECT
 public:
  enum Column { ColDevice, ColCable, ColPort, ColState, ColumnCount };

  explicit CBatchWriteDlg(QWidget* parent);
  ~CBatchWriteDlg() override;

  // What Start writes: called at Start, it commits the document's edits and
  // returns its image and file name (false: nothing to write).
  using DocumentSource = std::function<bool(chanset::Image& image, QString& document)>;
  void SetDocumentSource(DocumentSource source) { m_source = std::move(source); }

  // Lists the devices anew and shows the dialog (window-modal); `verify`:
  // each radio written is read back and compared.
  void ShowDialog(const QString& documentName, bool verify);
  // Reads the machine's devices again: rows come and go (see above).
  void Refresh();
  // The same, the devices listed on a thread of its own (the window goes on
  // meanwhile); what a cable plugged in or pulled out does.
  void RefreshLater();
  // Start: writes to every checked row. False when nothing was started.
  bool StartBatch();
  // Cancel while radios are written.
  void CancelBatch();
  bool IsRunning() const { return m_nRunning > 0; }

  QTableWidget* Table() const { return m_pTable; }
  QPushButton* StartButton() const { return m_pStart; }
  QPushButton* CancelButton() const { return m_pCancel; }
  QPushButton* CloseButton() const { return m_pClose; }
  QLabel* Summary() const { return m_pSummary; }
  // The row of device `path`, -1 when there is none.
  int RowOf(const QString& path) const;
  // The text shown in a row's state cell: its bar's text while it runs.
  QString StateText(int row) const;

 signals:
  // Start has begun writing radios.
  void batchStarted();
  // Every radio of a batch has ended.
  void batchEnded();

 public slots:
  // Escape and the close box: a running batch is cancelled, not left.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Row {
    chanset::SerialDevice device;
    bool gone = false;     // unplugged since it was listed
    bool running = false;  // in the batch that runs
    int index = -1;        // its port in the running fleet
  };
  class Observer;

  void ShowDevices(const std::vector<chanset::SerialDevice>& devices);
  void ShowRow(int row);
  void ShowProgress(int index, int rows, bool verifying);
  void ShowEnded(int index, const chanset::WriteOutcome& outcome, const std::string& logWarning);
  void FinishBatch();
  void UpdateButtons();
  int RowOfIndex(int index) const;
  QString ResultWords(const chanset::WriteOutcome& outcome, const std::string& path) const;
  static QString PortReasonText(const chanset::SystemError& reason, const std::string& path);

  QLabel* m_pIntro;
  QLabel* m_pEmpty;
  QTableWidget* m_pTable;
  QLabel* m_pSummary;
  QPushButton* m_pStart;
  QPushButton* m_pCancel;
  QPushButton* m_pClose;
  QVector<Row> m_rows;
  DocumentSource m_source;
  std::unique_ptr<Observer> m_observer;
  std::unique_ptr<chanset::RadioFleet> m_fleet;
  chanset::Image m_image{};
  bool m_bVerify = false;
  int m_nRunning = 0;
  int m_nWritten = 0, m_nVerified = 0, m_nStarted = 0;
  std::string m_logWarning;  // why a radio's write could not be recorded
  std::thread m_lister;      // lists the devices for RefreshLater
  bool m_bListAgain = false;  // a change came while it listed
};
