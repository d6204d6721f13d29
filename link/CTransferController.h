#pragma once
// Runs the radio transfers of one channel view: the Read, Write and Com
// Setup commands, the progress dialog, the Port Setting dialog, and the
// worker thread that carries out the clone transfer.
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
// With CHANSET_TRACE=FILE in the environment every transfer appends a log
// of its bytes, discards and pauses to FILE (see link/TraceSink.h).
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
#include "link/TraceSink.h"

class CChansetView;
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
  // Commands a user cannot run while a transfer runs: Read, Write, New,
  // Open, Close, Exit, Language.
  static bool IsLockedDuringTransfer(int commandId);

  // Read (32773) and Write (32774): choose the direction and show the
  // progress dialog. Ignored while a transfer runs.
  void OnRead();
  void OnWrite();
  // Com Setup (32777): the Port Setting dialog.
  void OnComSetup();

  bool IsRunning() const { return m_bRunning; }
  bool WriteMode() const { return m_bWriteMode; }
  CProcessDlg* ProcessDlg() const;
  CPortSettingDlg* PortSettingDlg();

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

  void ChooseDirection(bool write);
  // WM_START_TRANSFER.
  void OnStartTransfer();
  void OnTransferEnded(const chanset::TransferResult& result);
  // Worker side: shows a message on the user-interface thread and waits
  // for the answer (CMessageBox result).
  int AskUser(int messageId, bool retryCancel, const chanset::SystemError& reason);
  int ShowTransferMessage(int messageId, bool retryCancel, const chanset::SystemError& reason);

  CChansetView* m_pView;
  QPointer<CProcessDlg> m_pProcessDlg;
  QPointer<CPortSettingDlg> m_pPortSettingDlg;
  bool m_bWriteMode = false;
  bool m_bRunning = false;

  // The running transfer.
  chanset::TransferDirection m_direction = chanset::TransferDirection::Read;
  std::string m_path;
  chanset::Image m_image{};  // the worker's copy
  std::thread m_worker;
  std::atomic<bool> m_bAbandon{false};
  chanset::CancelSignal m_cancel;  // wakes the worker's port
  chanset::TraceSink m_trace;      // open while a traced transfer runs
  std::mutex m_askMutex;
  std::condition_variable m_askAnswered;
  std::optional<int> m_answer;
};
