#include "app/CSignalClose.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "data/Backups.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "link/CTransferController.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// What still runs is looked at every kWaitMs; after kMaxWaits looks the
// program closes anyway (a transfer ends within milliseconds of Cancel).
constexpr int kWaitMs = 20;
constexpr int kMaxWaits = 250;

int g_pipe[2] = {-1, -1};  // [0] read by the notifier, [1] written by the handler

void OnSignalHandler(int sig) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(sig);
  ssize_t ignored = ::write(g_pipe[1], &byte, 1);  // async-signal-safe; a full pipe loses a repeat only
  (void)ignored;
  errno = saved;
}

void Say(const QString& line) {
  std::fprintf(stderr, "Chanset: %s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

}  // namespace

CSignalClose::CSignalClose(CMainFrame* frame, QObject* parent) : QObject(parent), m_pFrame(frame) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
  m_pNotifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(m_pNotifier, &QSocketNotifier::activated, this, &CSignalClose::OnSignal);
  for (int sig : kSignals) {
    struct sigaction sa {};
    sa.sa_handler = OnSignalHandler;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    struct sigaction before {};
    // A signal the caller ignores (nohup) stays ignored.
    if (sigaction(sig, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) sigaction(sig, &sa, nullptr);
  }
}

CSignalClose::~CSignalClose() {
  for (int sig : kSignals) {
    struct sigaction now {};
    if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler == OnSignalHandler) signal(sig, SIG_DFL);
  }
  delete m_pNotifier;
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void CSignalClose::OnSignal() {
  unsigned char byte = 0;
  while (::read(g_pipe[0], &byte, 1) == 1) {
    if (m_nSignal != 0) continue;  // already closing
    m_nSignal = byte;
  }
  if (m_nSignal == 0 || m_nWaited != 0) return;
  m_nWaited = 1;
  Say(CLanguagePack::String(ids::kClosingOnSignal, {chanset::SignalName(m_nSignal)}));
  // Nobody is there to answer: every message goes to standard error, every
  // question is answered Cancel (OK where OK is the only button).
  CMessageBox::SetResponder([](const CMessageBox::Request& request) {
    Say(request.text);
    return int(request.buttons == CMessageBox::Ok ? CMessageBox::IdOk : CMessageBox::IdCancel);
  });
  if (m_pFrame)
    for (CTransferController* transfer : m_pFrame->findChildren<CTransferController*>()) transfer->Cancel();
  Finish();
}

void CSignalClose::Finish() {
  // Dialogs open now (a question, Save As, Com Setup) end as Cancel; their
  // loops unwind before the documents are looked at.
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  bool waiting = CTransferMonitor::Instance()->IsRunning();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->isModal()) {
      dialog->reject();
      waiting = true;
    }
  }
  if (QApplication::activeModalWidget()) waiting = true;
  if (waiting && ++m_nWaited < kMaxWaits) {
    QTimer::singleShot(kWaitMs, this, &CSignalClose::Finish);
    return;
  }
  KeepUnsavedDocuments();
  if (m_pFrame) m_pFrame->CloseWithoutAsking();
  // After the window's close: the last window closing asks the loop to end
  // with status 0, and the last request wins.
  QCoreApplication::exit(128 + m_nSignal);
}

void CSignalClose::KeepUnsavedDocuments() {
  if (!m_pFrame) return;
  for (CChildFrame* child : m_pFrame->ChildFrames()) {
    CChansetDoc* doc = child->GetDocument();
    CChansetView* view = child->GetView();
    if (!doc || !view) continue;
    // What is being typed counts; a refused value has been said above.
    view->CommitEditor();
    if (!doc->IsModified()) continue;
    view->EncodeGridToImage();
    const chanset::BackupResult kept = chanset::StoreBackup(doc->Image(), chanset::g_bChinese);
    const std::string title = doc->GetTitle().toStdString();
    Say(kept.ok() ? CLanguagePack::String(ids::kUnsavedKept, {title, kept.path})
                  : CLanguagePack::String(ids::kUnsavedNotKept, {title, kept.warning}));
  }
}
