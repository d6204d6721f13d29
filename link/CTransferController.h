#pragma once
// Runs the radio transfers of one channel view: the Read, Write, Compare
// with Radio and Com Setup commands, the progress dialog, the Port Setting
// dialog, and the worker thread that carries out the clone transfer.
//
// The transfer itself runs on a worker thread; everything the user sees
// happens on the user-interface thread in the order the transfer takes:
// commit the open cell edit, encode the grid (write), open the port,
// handshake (asking Retry/Cancel there when needed), the blocks with the
// bar moving once per row, then after a completed read the rows taken into
// the document and the view refreshed; finally the progress window goes and
// a hidden channel window is shown again. The worker works on its own copy
// of the image, so nothing the user does meanwhile can race with it.
//
// While a transfer runs, the direction is fixed, the view is disabled (no
// edits), and the commands that would replace the document or change the
// direction are disabled by the main frame (see IsLockedDuringTransfer).
// Cancel in the progress window wakes the port at once: the transfer ends
// within a few milliseconds, wherever it waits, without a message.
//
// Beside the transfers themselves:
//   - every read that completes (Read, Compare's read, the read-back after a
//     write) is also kept in the backups folder; the status bar names the
//     file, or warns when none could be written;
//   - Compare with Radio reads into a scratch image and lists how the radio
//     differs from the document; the document is never touched;
//   - with Verify After Write on, a completed write is followed by a
//     read-back ("Verify Data") compared with what was sent: the status bar
//     says it passed, a message lists the differences, or says the data is
//     written but not verified when the read-back failed or was cancelled.
//
// With CHANSET_TRACE=FILE in the environment every transfer appends a log
// of its bytes, discards and pauses to FILE (see link/TraceSink.h). A trace
// that cannot be written (a pipe, a device, the port itself, a full disk)
// never stops or blocks a transfer: the status bar says so when it ends.
#include <QObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "data/MemoryImage.h"
#include "link/CancelSignal.h"
#include "link/CloneTransfer.h"
#include "link/ReadBack.h"
#include "link/TraceSink.h"
#include "data/Backups.h"

class CChansetDoc;
class CChansetView;
class CCompareDlg;
class CPortSettingDlg;
class CProcessDlg;

// Whether any transfer of the program runs; the main frame listens to it.
class CTransferMonitor : public QObject {
  Q_OBJECT
 public:
  static CTransferMonitor* Instance();
  bool IsRunning() const { return m_nRunning > 0; }

 signals:
  void runningChanged(bool running);

 private:
  friend class CTransferController;
  void Started();
  void Ended();
  int m_nRunning = 0;
};

class CTransferController : public QObject {
  Q_OBJECT
 public:
  // Becomes a child of `view`, takes the remembered port as the current port
  // and listens for the progress dialog's WM_START_TRANSFER on the view.
  explicit CTransferController(CChansetView* view);
  ~CTransferController() override;

  // The view's controller, created on first use.
  static CTransferController* For(CChansetView* view);
  // Commands a user cannot run while a transfer runs: Read, Write, Compare
  // with Radio, New, Open, Close, Exit, Language.
  static bool IsLockedDuringTransfer(int commandId);

  // Read (32773) and Write (32774): choose the direction and show the
  // progress dialog. Ignored while a transfer runs.
  void OnRead();
  void OnWrite();
  // Compare with Radio (32830): a read with the same progress dialog,
  // messages, Retry and Cancel, into a scratch image; then the compare
  // window. Ignored while a transfer runs.
  void OnCompare();
  // Com Setup (32777): the Port Setting dialog.
  void OnComSetup();

  // Verify After Write (32831): remembered in the user registry, off until
  // turned on. A write takes the setting when it starts.
  static bool VerifyAfterWrite();
  static void SetVerifyAfterWrite(bool on);

  bool IsRunning() const { return m_bRunning; }
  // Cancel of the running transfer, as the progress window's Cancel: the
  // port is closed at once, wherever the transfer waits. Nothing when none
  // runs.
  void Cancel();
  bool WriteMode() const { return m_bWriteMode; }
  CProcessDlg* ProcessDlg() const;
  CPortSettingDlg* PortSettingDlg();
  // The compare window; nullptr before the first completed compare.
  CCompareDlg* CompareDlg() const;
  // How the check after the last transfer's write ended; empty when it had
  // none (no write, a failed write, or Verify After Write off).
  std::optional<chanset::VerifyEnd> LastVerify() const;
  // The backup of the last transfer's read; empty when it read nothing.
  const chanset::BackupResult& LastBackup() const { return m_backup; }

 signals:
  void runningChanged(bool running);
  // Emitted on the user-interface thread after a transfer has ended and the
  // view shows its outcome.
  void transferEnded(const chanset::TransferResult& result);
  // From the worker thread, delivered queued: rows done.
  void progress(int rows);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Host;
  friend class Host;

  void Choose(bool write, bool compare);
  // WM_START_TRANSFER.
  void OnStartTransfer();
  void OnTransferEnded(const chanset::TransferResult& result);
  // The read-back of a verified write begins: caption and bar anew.
  void OnVerifyStarted();
  // What a completed transfer adds for the user: the backup on the status
  // bar, the compare window, the verdict of the check.
  void ReportOutcome(const chanset::TransferResult& result, CChansetDoc* doc);
  void ShowComparison(CChansetDoc& doc);
  // Returns the status-bar text of a passed check; shows a message for
  // any other ending.
  QString ReportVerify(const chanset::ReadBackResult& back);
  void ShowStatus(const QString& text);
  // Opens CHANSET_TRACE for the transfer about to start, or notes why not.
  void OpenTrace(const std::string& documentPath);
  // Worker side: shows a message on the user-interface thread and waits
  // for the answer (CMessageBox result).
  int AskUser(int messageId, bool retryCancel, const chanset::SystemError& reason);
  int ShowTransferMessage(int messageId, bool retryCancel, const chanset::SystemError& reason);
  // Message `messageId` of the string table, with the port's reason on a
  // line of its own when the user can act on it.
  QString MessageWithReason(int messageId, const chanset::SystemError& reason) const;

  CChansetView* m_pView;
  QPointer<CProcessDlg> m_pProcessDlg;
  QPointer<CPortSettingDlg> m_pPortSettingDlg;
  QPointer<CCompareDlg> m_pCompareDlg;
  bool m_bWriteMode = false;
  bool m_bCompare = false;  // Compare with Radio was chosen (a read)
  bool m_bRunning = false;

  // The running transfer.
  chanset::TransferDirection m_direction = chanset::TransferDirection::Read;
  bool m_bCompareRun = false;  // its read only fills m_image
  bool m_bVerifyRun = false;   // its write is read back
  std::optional<chanset::ReadBackResult> m_readBack;  // set by the worker
  chanset::BackupResult m_backup;                     // set by the worker
  std::string m_path;
  chanset::Image m_image{};  // the worker's copy
  std::thread m_worker;
  std::atomic<bool> m_bAbandon{false};
  chanset::CancelSignal m_cancel;  // wakes the worker's port
  chanset::TraceSink m_trace;      // open while a traced transfer runs
  QString m_traceWarning;          // why the last transfer's trace was not (wholly) written
  std::mutex m_askMutex;
  std::condition_variable m_askAnswered;
  std::optional<int> m_answer;
};
