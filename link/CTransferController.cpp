#include "link/CTransferController.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

#include "data/CChansetDoc.h"
#include "data/ImageDiff.h"
#include "editor/CChansetView.h"
#include "grid/CGridTexts.h"
#include "link/CBatchWriteDlg.h"
#include "link/CCompareDlg.h"
#include "link/CPortSettingDlg.h"
#include "link/CProcessDlg.h"
#include "link/CWriteLogNotifier.h"
#include "link/PortDiscovery.h"
#include "link/PortErrorText.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "link/WriteLog.h"
#include "link/WriteOutcome.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/ListLines.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {
// Registry value of Verify After Write: 1 on, 0 or missing off.
const char* const kVerifyValue = "VerifyAfterWrite";
}  // namespace

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

  bool Poll() override { return m_cancel.load() != 0 || m_owner.m_bAbandon.load() || m_owner.m_cancel.Requested(); }
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
  connect(m_pProcessDlg, &CProcessDlg::cancelRequested, this, &CTransferController::Cancel);
}

void CTransferController::Cancel() {
  if (m_bRunning) m_cancel.Request();
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
  delete m_pCompareDlg.data();
  if (m_pBatchDlg && m_pBatchDlg->IsRunning()) CTransferMonitor::Instance()->Ended();
  delete m_pBatchDlg.data();
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
    case ids::kCompareWithRadio:
    case ids::kWriteSeveralRadios:
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

CCompareDlg* CTransferController::CompareDlg() const { return m_pCompareDlg; }

std::optional<VerifyEnd> CTransferController::LastVerify() const {
  if (!m_readBack) return std::nullopt;
  return m_readBack->end;
}

bool CTransferController::VerifyAfterWrite() {
  return UserRegistry::ReadDword(AppRegistryKey(), kVerifyValue, 0) != 0;
}

void CTransferController::SetVerifyAfterWrite(bool on) {
  UserRegistry::WriteDword(AppRegistryKey(), kVerifyValue, on ? 1 : 0);
}

CPortSettingDlg* CTransferController::PortSettingDlg() {
  // Like the progress window, the dialog hangs on the top-level window: the
  // view may be disabled by a running transfer.
  QWidget* top = m_pView->window();
  if (!m_pPortSettingDlg) m_pPortSettingDlg = new CPortSettingDlg(top);
  if (m_pPortSettingDlg->parentWidget() != top) m_pPortSettingDlg->setParent(top, m_pPortSettingDlg->windowFlags());
  return m_pPortSettingDlg;
}

void CTransferController::OnRead() { Choose(false, false); }
void CTransferController::OnWrite() { Choose(true, false); }
void CTransferController::OnCompare() { Choose(false, true); }

void CTransferController::OnComSetup() { PortSettingDlg()->DoModal(); }

CBatchWriteDlg* CTransferController::BatchDlg() const { return m_pBatchDlg; }

void CTransferController::OnWriteSeveral() {
  if (m_bRunning || m_pProcessDlg->IsBusy()) return;
  CChansetDoc* doc = m_pView->GetDocument();
  if (!doc) return;
  if (!m_pBatchDlg) {
    m_pBatchDlg = new CBatchWriteDlg(m_pView->window());
    // Start takes the document as Write does: the open edit committed, the
    // grid encoded into the image.
    m_pBatchDlg->SetDocumentSource([this](Image& image, QString& document) {
      CChansetDoc* d = m_pView->GetDocument();
      // A value the grid refuses stops the batch: twenty radios are not
      // written with a plan the user is still correcting.
      if (!d || m_bRunning || !m_pView->CommitEditor()) return false;
      m_pView->EncodeGridToImage();
      image = d->Image();
      document = d->GetPathName();
      return true;
    });
    // While its radios are written, the program is transferring.
    connect(m_pBatchDlg, &CBatchWriteDlg::batchStarted, this, [] { CTransferMonitor::Instance()->Started(); });
    connect(m_pBatchDlg, &CBatchWriteDlg::batchEnded, this, [] { CTransferMonitor::Instance()->Ended(); });
  }
  m_pBatchDlg->ShowDialog(doc->GetTitle(), VerifyAfterWrite());
}

void CTransferController::Choose(bool write, bool compare) {
  // Once OK has been pressed the direction is fixed until the window goes.
  if (m_bRunning || m_pProcessDlg->IsBusy()) return;
  m_bWriteMode = write;
  m_bCompare = compare;
  const char* caption = write ? (g_bChinese ? "写数据" : "Write Data") : (g_bChinese ? "读数据" : "Read Data");
  // An idle window already up takes the new caption with the new direction.
  m_pProcessDlg->SetCaption(compare ? CLanguagePack::String(ids::kCompareTitle) : QString::fromUtf8(caption));
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
  m_bCompareRun = m_bCompare && !m_bWriteMode;
  m_bVerifyRun = m_bWriteMode && VerifyAfterWrite();
  m_readBack.reset();
  m_backup = BackupResult();
  m_logWarning.clear();
  m_documentPath = doc->GetPathName().toStdString();
  // A compare leaves the document alone, an edit still being typed included.
  if (!m_bCompareRun) m_pView->CommitEditor();
  if (m_direction == TransferDirection::Write) m_pView->EncodeGridToImage();
  m_image = doc->Image();
  OfferSoleCable();
  m_path = ResolvePortArgument(g_strPortName);
  if (m_path.empty()) m_path = g_strPortName;

  m_bRunning = true;
  m_bAbandon = false;
  m_cancel.Reset();
  OpenTrace(doc->GetPathName().toStdString());
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
    if (result.ok() && result.direction == TransferDirection::Write && m_bVerifyRun) {
      QMetaObject::invokeMethod(this, [this] { OnVerifyStarted(); }, Qt::QueuedConnection);
      m_readBack = ReadBackWritten(port, host, &m_trace, m_path, m_image);
    }
    // Every read that completed is kept, whatever becomes of it.
    if (result.ok() && result.direction == TransferDirection::Read)
      m_backup = StoreBackup(m_image, g_bChinese);
    else if (m_readBack && m_readBack->complete())
      m_backup = StoreBackup(m_readBack->image, g_bChinese);
    // Every write that reached the port is recorded, however it ended.
    if (m_direction == TransferDirection::Write && result.end != TransferEnd::OpenFailed) RecordWrite(result);
    QMetaObject::invokeMethod(this, [this, result] { OnTransferEnded(result); }, Qt::QueuedConnection);
  });
}

void CTransferController::RecordWrite(const TransferResult& result) {
  // The settings file only names types and bands here; nothing changes it
  // while a transfer runs.
  const WriteOutcome outcome =
      OutcomeOfWrite(result, m_image, m_readBack ? &*m_readBack : nullptr, false, false, &g_settingsFile());
  const WriteRecord record = DescribeWrite(DiscoveryRootsFromEnvironment(), m_path, m_documentPath, m_image,
                                           &g_settingsFile(), LogWords(outcome));
  std::string error;
  if (AppendWriteLog(record, &error))
    CWriteLogNotifier::Appended();
  else
    m_logWarning = error;
}

void CTransferController::OfferSoleCable() {
  const int port = PortNumberFromName(g_strPortName);
  if (port < 1 || port > kPortCount) return;
  const std::string word = "COM" + std::to_string(port);
  // A device named in the environment is the user's choice for this run.
  if (const char* env = std::getenv(("CHANSET_" + word).c_str()); env && *env) return;
  SerialDevice cable = SoleUsbDeviceFor(DiscoveryRootsFromEnvironment(), DevicePathForPort(port));
  if (cable.name.empty()) return;
  const std::string offered = cable.byId.empty() ? cable.path : cable.byId;
  // Asked once: a No holds for this port and cable until the program ends.
  static std::set<std::string> declined;
  if (declined.count(word + '\n' + offered)) return;
  const QString name = QString::fromStdString(offered.substr(offered.rfind('/') + 1));
  const QString text = CLanguagePack::String(ids::kAskUseCable)
                           .arg(name, QString::fromStdString(UsbName(cable)), QString::fromStdString(word));
  QWidget* parent = m_pProcessDlg->HasWindow() ? static_cast<QWidget*>(m_pProcessDlg) : m_pView;
  if (CMessageBox::Show(parent, text, CMessageBox::YesNo, CMessageBox::Question) != CMessageBox::IdYes) {
    declined.insert(word + '\n' + offered);
    return;
  }
  std::string error;
  if (!UserRegistry::WriteString(PortsRegistryKey(), word, offered, &error))
    CMessageBox::Show(parent, CLanguagePack::String(ids::kRegistryNotWritten).arg(QString::fromStdString(error)));
}

void CTransferController::OpenTrace(const std::string& documentPath) {
  // A trace is appended to, so the transfers of a whole session stay in it.
  // It never waits (a pipe or a device is refused at once) and is never the
  // port, the document's own file or a settings file; when it cannot be
  // written the transfer runs untraced and the status bar says why.
  m_trace.Close();
  m_traceWarning.clear();
  const QByteArray tracePath = qgetenv("CHANSET_TRACE");
  if (tracePath.isEmpty()) return;
  const std::string trace = tracePath.toStdString();
  std::string why =
      TraceClash(trace, {documentPath, g_settingsFile().Path(), UserRegistry::FilePath()}, {m_path});
  if (why.empty()) m_trace.Open(trace, &why);
  if (!why.empty()) m_traceWarning = CLanguagePack::String(ids::kTraceRefused).arg(QString::fromStdString(why));
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

QString CTransferController::MessageWithReason(int messageId, const SystemError& reason) const {
  QString text = CLanguagePack::String(messageId);
  // A reason the user can do something about goes on a line of its own
  // under the message.
  const PortDetail detail = PortErrorDetailOf(reason, m_path);
  if (detail.id != 0) text += QStringLiteral("\n") + CLanguagePack::String(detail.id, detail.args);
  return text;
}

int CTransferController::ShowTransferMessage(int messageId, bool retryCancel, const SystemError& reason) {
  QString text = MessageWithReason(messageId, reason);
  QWidget* parent = m_pProcessDlg->HasWindow() ? static_cast<QWidget*>(m_pProcessDlg) : m_pView;
  if (retryCancel) return CMessageBox::Show(parent, text, CMessageBox::RetryCancel, CMessageBox::NoIcon);
  return CMessageBox::Show(parent, text, CMessageBox::Ok);
}

void CTransferController::OnTransferEnded(const TransferResult& result) {
  if (m_worker.joinable()) m_worker.join();
  if (m_trace.LinesLost() > 0)
    m_traceWarning = CLanguagePack::String(ids::kTraceStopped)
                         .arg(QString::fromStdString(m_trace.Path()), QString::fromStdString(m_trace.Failure()))
                         .arg(static_cast<qulonglong>(m_trace.LinesLost()));
  m_trace.Close();
  CChansetDoc* doc = m_pView->GetDocument();
  if (result.ok() && result.direction == TransferDirection::Read && doc && !m_bCompareRun) {
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
  // Disabling the view sent the keyboard elsewhere; it comes back to the
  // cell it was on, in the main window.
  m_pView->FocusCurrentCell();
  QWidget* active = QApplication::activeWindow();
  if (!active || active == m_pProcessDlg) m_pView->window()->activateWindow();
  m_bRunning = false;
  CTransferMonitor::Instance()->Ended();
  emit runningChanged(false);
  ReportOutcome(result, doc);
  emit transferEnded(result);
}

void CTransferController::OnVerifyStarted() {
  m_pProcessDlg->SetCaption(CLanguagePack::String(ids::kVerifyCaption));
  m_pProcessDlg->SetProgress(0);
}

void CTransferController::ReportOutcome(const TransferResult& result, CChansetDoc* doc) {
  QStringList status;
  if (m_readBack) {
    QString passed = ReportVerify(*m_readBack);
    if (!passed.isEmpty()) status << passed;
  }
  if (!m_backup.path.empty())
    status << CLanguagePack::String(ids::kBackupStored).arg(QString::fromStdString(m_backup.path));
  else if (!m_backup.warning.empty())
    status << QString::fromStdString(m_backup.warning);
  if (!m_traceWarning.isEmpty()) status << m_traceWarning;
  if (!m_logWarning.empty())
    status << CLanguagePack::String(ids::kWriteLogFailed).arg(QString::fromStdString(m_logWarning));
  if (!status.isEmpty()) ShowStatus(status.join(QStringLiteral("  ")));
  if (m_bCompareRun && result.ok() && doc) ShowComparison(*doc);
}

void CTransferController::ShowComparison(CChansetDoc& doc) {
  // The document with the grid's edits that are not yet in its image.
  Image document = doc.Image();
  if (CMSFlexGrid* grid = m_pView->Grid()) document = WithGridEdits(document, CGridTexts(*grid), g_bChinese);
  QStringList lines;
  for (const std::string& line : DiffImages(m_image, document, g_bChinese, &g_settingsFile(), DiffRows::Transferred))
    lines << QString::fromStdString(line);
  // Nothing different: a message says so, not a window with no lines.
  if (lines.isEmpty()) {
    if (m_pCompareDlg) m_pCompareDlg->hide();
    CMessageBox::Show(m_pView->window(), CLanguagePack::String(ids::kCompareSame), CMessageBox::Ok,
                      CMessageBox::Information);
    return;
  }
  if (!m_pCompareDlg) m_pCompareDlg = new CCompareDlg(m_pView->window());
  m_pCompareDlg->ShowDifferences(lines);
}

QString CTransferController::ReportVerify(const ReadBackResult& back) {
  QWidget* parent = m_pView->window();
  switch (back.end) {
    case VerifyEnd::Verified:
      return CLanguagePack::String(ids::kVerifyPassed);
    case VerifyEnd::Differs: {
      const std::vector<std::string> differences =
          VerifyDifferences(m_image, back.image, g_bChinese, &g_settingsFile());
      QStringList lines;
      for (const std::string& line : CappedLines(differences, differences.size(), g_bChinese))
        lines << QString::fromStdString(line);
      CMessageBox::Show(parent, CLanguagePack::String(ids::kVerifyDiffers).arg(lines.join(QLatin1Char('\n'))));
      break;
    }
    case VerifyEnd::NotVerified:
      if (back.message == 0) {
        CMessageBox::Show(parent, CLanguagePack::String(ids::kVerifyCancelled));
      } else {
        // The read-back's own message and the port's reason, as a read shows them.
        CMessageBox::Show(parent, CLanguagePack::String(ids::kVerifyNotVerified)
                                      .arg(MessageWithReason(back.message, back.reason)));
      }
      break;
  }
  return QString();
}

void CTransferController::ShowStatus(const QString& text) {
  if (auto* main = qobject_cast<QMainWindow*>(m_pView->window())) {
    main->statusBar()->showMessage(text);
    // Screen readers get the result too: it stays the status bar's
    // description after the message gives way to the next prompt.
    main->statusBar()->setAccessibleDescription(text);
  }
}
