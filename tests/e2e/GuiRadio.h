#pragma once
// What the end-to-end tests of the main window's radio commands share: a
// simulated radio made COM1, a Program command run through its progress
// window, and pictures of the screen for a person to look at.
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include "app/CMainFrame.h"
#include "link/CProcessDlg.h"
#include "link/CTransferController.h"

Q_DECLARE_METATYPE(chanset::TransferResult)

namespace guiradio {

// Starts chanset-radio-sim (at its own 9600-baud pace unless `fast`) with
// `args` as a child of `owner` and makes its device COM1.
inline bool StartRadio(QObject* owner, QProcess*& sim, const QStringList& args, bool fast = true) {
  sim = new QProcess(owner);
  sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  sim->start(QStringLiteral(CHANSET_APP_DIR "/chanset-radio-sim"), (fast ? QStringList{"--fast"} : QStringList{}) + args);
  if (!sim->waitForStarted(5000)) return false;
  while (!sim->canReadLine())
    if (!sim->waitForReadyRead(5000)) return false;
  QByteArray path = sim->readLine().trimmed();
  qputenv("CHANSET_COM1", path);
  return path.startsWith("/dev/pts/");
}

// A result no transfer can produce (a negative message id): the command did
// not show the progress window (-1), or the transfer did not end in time (-2).
inline chanset::TransferResult NotRun(int marker) {
  chanset::TransferResult r;
  r.end = chanset::TransferEnd::OpenFailed;
  r.message = marker;
  return r;
}

// The Program command `command`, then OK; how the transfer ended.
inline chanset::TransferResult Run(CMainFrame* frame, CTransferController* ctl, int command) {
  QSignalSpy ended(ctl, &CTransferController::transferEnded);
  frame->OnCommand(command);
  if (!ctl->ProcessDlg()->isVisible()) return NotRun(-1);
  ctl->ProcessDlg()->OkButton()->click();
  if (!ended.wait(30000) && ended.isEmpty()) return NotRun(-2);
  return ended.takeFirst().at(0).value<chanset::TransferResult>();
}

// With CHANSET_SCREENSHOT_DIR set, a picture of the screen as `name`.png.
inline void Snapshot(const QString& name) {
  QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  QTest::qWait(150);
  QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(dir).filePath(name + ".png"));
}

}  // namespace guiradio
