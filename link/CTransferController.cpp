#include "link/CTransferController.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <algorithm>
#include <chrono>

#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "link/CPortSettingDlg.h"
#include "link/CProcessDlg.h"
#include "link/PortErrorText.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

using namespace chanset;

// Monitor ---------------------------------------------------------------------

CTransferMonitor* CTransferMonitor::Instance() {
  static CTransferMonitor monitor;
  return &monitor;
}

void CTransferMonitor::Started() {
  if (m_nRunning++ == 0) emit runningChanged(true);
}

void CTransferMonitor::Ended() {
  if (m_nRunning > 0 && --m_nRunning == 0) emit runningChanged(false);
}

// The transfer's view of its surroundings, used on the worker thread -------------

class CTransferController::Host : public TransferHost {
 public:
  Host(CTransferController& owner, const std::atomic<int>& cancel) : m_owner(owner), m_cancel(cancel) {}

  bool Poll() override { return m_cancel.load() != 0 || m_owner.m_bAbandon.load(); }
  bool AskRetry() override {
    return m_owner.AskUser(kMsgCommunicationError, true, SystemError{}) == CMessageBox::IdRetry;
  }
  void Progress(int rows) override { emit m_owner.progress(rows); }
  void Message(int id, const SystemError& reason) override { m_owner.AskUser(id, false, reason); }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  // The direction was fixed when the transfer started.
  TransferDirection BlockDirection(TransferDirection) override { return m_owner.m_direction; }

 private:
  CTransferController& m_owner;
  const std::atomic<int>& m_cancel;  // the progress dialog's Cancel flag
};

// Controller ------------------------------------------------------------------------

CTransferController::CTransferController(CChansetView* view)
    : QObject(view), m_pView(view), m_pProcessDlg(new CProcessDlg(view)) {
  g_strPortName = PortName(LoadRememberedPort());
  view->installEventFilter(this);
  connect(this, &CTransferController::progress, m_pProcessDlg, &CProcessDlg::SetProgress, Qt::QueuedConnection);
  connect(m_pProcessDlg, &CProcessDlg::cancelRequested, this, [this] {
    if (m_bRunning) m_cancel.Request();
  });
}

CTransferController::~CTransferController() {
  if (m_worker.joinable()) {
    // The transfer ends at its next poll; a question it waits for is
    // answered Cancel.
    {
      std::lock_guard<std::mutex> lock(m_askMutex);
      m_bAbandon = true;
    }
    m_cancel.Request();
    m_askAnswered.notify_all();
    m_worker.join();
  }
  if (m_bRunning) CTransferMonitor::Instance()->Ended();
  // The dialogs may hang on another window than the view.
  delete m_pProcessDlg.data();
  delete m_pPortSettingDlg.data();
}

CTransferController* CTransferController::For(CChansetView* view) {
  if (!view) return nullptr;
  if (auto* existing = view->findChild<CTransferController*>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return new CTransferController(view);
}

bool CTransferController::IsLockedDuringTransfer(int commandId) {
  switch (commandId) {
    case ids::kRead:
    case ids::kWrite:
    case ids::kFileNew:
    case ids::kFileOpen:
    case ids::kFileClose:
    case ids::kAppExit:
    case ids::kLanguage:
      return true;
    default:
      return false;
  }
}

CProcessDlg* CTransferController::ProcessDlg() const { return m_pProcessDlg; }

CPortSettingDlg* CTransferController::PortSettingDlg() {
  // Like the progress window, the dialog hangs on the top-level window: the
  // view may be disabled by a running transfer.
  QWidget* top = m_pView->window();
  if (!m_pPortSettingDlg) m_pPortSettingDlg = new CPortSettingDlg(top);
  if (m_pPortSettingDlg->parentWidget() != top) m_pPortSettingDlg->setParent(top, m_pPortSettingDlg->windowFlags());
  return m_pPortSettingDlg;
}

void CTransferController::OnRead() { ChooseDirection(false); }
void CTransferController::OnWrite() { ChooseDirection(true); }

void CTransferController::OnComSetup() { PortSettingDlg()->DoModal(); }

void CTransferController::ChooseDirection(bool write) {
  // Once OK has been pressed the direction is fixed until the window goes.
  if (m_bRunning || m_pProcessDlg->IsBusy()) return;
  m_bWriteMode = write;
  const char* caption = write ? (g_bChinese ? "写数据" : "Write Data") : (g_bChinese ? "读数据" : "Read Data");
  // An idle window already up takes the new caption with the new direction.
  m_pProcessDlg->SetCaption(QString::fromUtf8(caption));
  m_pProcessDlg->ShowWindow();
}

bool CTransferController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pView && event->type() == WM_START_TRANSFER) {
    OnStartTransfer();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void CTransferController::OnStartTransfer() {
  if (m_bRunning) return;
  CChansetDoc* doc = m_pView->GetDocument();
  if (!doc) {
    m_pProcessDlg->DestroyWindow();
    return;
  }
  m_direction = m_bWriteMode ? TransferDirection::Write : TransferDirection::Read;
  m_pView->CommitEditor();
  if (m_direction == TransferDirection::Write) m_pView->EncodeGridToImage();
  m_image = doc->Image();
  m_path = ResolvePortArgument(g_strPortName);
  if (m_path.empty()) m_path = g_strPortName;

  m_bRunning = true;
  m_bAbandon = false;
  m_cancel.Reset();
  // A trace is appended to, so the transfers of a whole session stay in it.
  m_trace.Close();
  QByteArray tracePath = qgetenv("CHANSET_TRACE");
  std::string traceError;
  if (!tracePath.isEmpty() && !m_trace.Open(tracePath.toStdString(), true, &traceError))
    qWarning("Chanset: no trace: %s", traceError.c_str());
  m_pView->setEnabled(false);
  CTransferMonitor::Instance()->Started();
  emit runningChanged(true);

  // The progress dialog outlives the worker: the controller joins it first.
  const std::atomic<int>& cancel = m_pProcessDlg->m_bCancel;
  m_worker = std::thread([this, &cancel] {
    SerialPort port;
    port.SetCancel(&m_cancel);
    Host host(*this, cancel);
    TransferResult result = RunTracedTransfer(port, host, &m_trace, m_path, m_direction, m_image);
    QMetaObject::invokeMethod(this, [this, result] { OnTransferEnded(result); }, Qt::QueuedConnection);
  });
}

int CTransferController::AskUser(int messageId, bool retryCancel, const SystemError& reason) {
  std::unique_lock<std::mutex> lock(m_askMutex);
  m_answer.reset();
  QMetaObject::invokeMethod(
      this,
      [this, messageId, retryCancel, reason] {
        int answer = ShowTransferMessage(messageId, retryCancel, reason);
        {
          std::lock_guard<std::mutex> answered(m_askMutex);
          m_answer = answer;
        }
        m_askAnswered.notify_all();
      },
      Qt::QueuedConnection);
  m_askAnswered.wait(lock, [this] { return m_answer.has_value() || m_bAbandon.load(); });
  return m_answer.value_or(CMessageBox::IdCancel);
}

int CTransferController::ShowTransferMessage(int messageId, bool retryCancel, const SystemError& reason) {
  QString text = CLanguagePack::String(messageId);
  // A reason the user can do something about goes on a line of its own
  // under the message.
  std::string detail = PortErrorDetail(reason.code, m_path, g_bChinese);
  if (!detail.empty()) text += QStringLiteral("\n") + QString::fromStdString(detail);
  QWidget* parent = m_pProcessDlg->HasWindow() ? static_cast<QWidget*>(m_pProcessDlg) : m_pView;
  if (retryCancel) return CMessageBox::Show(parent, text, CMessageBox::RetryCancel, CMessageBox::NoIcon);
  return CMessageBox::Show(parent, text, CMessageBox::Ok);
}

void CTransferController::OnTransferEnded(const TransferResult& result) {
  if (m_worker.joinable()) m_worker.join();
  m_trace.Close();
  CChansetDoc* doc = m_pView->GetDocument();
  if (result.ok() && result.direction == TransferDirection::Read && doc) {
    // Rows 0..61 from the radio; rows 62 and 63 stay as they are. The
    // read is one step of the document's undo history.
    const Image before = doc->State();
    std::copy(m_image.begin(), m_image.begin() + static_cast<long>(kTransferBytes), doc->Image().begin());
    g_bFreshDocument = false;
    m_pView->RefreshFromImage();
    doc->RecordChange(EditKind::Read, before);
  }
  m_pProcessDlg->DestroyWindow();
  m_pView->setEnabled(true);
  if (auto* frame = qobject_cast<QMdiSubWindow*>(m_pView->Frame()); frame && frame->isHidden())
    frame->showNormal();
  m_bRunning = false;
  CTransferMonitor::Instance()->Ended();
  emit runningChanged(false);
  emit transferEnded(result);
}
