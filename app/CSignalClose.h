#pragma once
// SIGTERM, SIGHUP and SIGINT (a session ending, `systemctl stop`, the
// terminal that started the program closing, Ctrl-C in it) end Chanset as
// File -> Exit does, without waiting for anybody:
//
//   1. one line on standard error says so;
//   2. a running transfer is cancelled (its port is closed, put back as it
//      was found and unlocked, its trace gets its END line); dialogs and
//      questions that are open are answered Cancel, and any message shown
//      from now on goes to standard error instead of a box;
//   3. once the transfers have ended, every document with unsaved changes is
//      kept in the backups folder, each named on standard error;
//   4. the main window closes without asking to save, and the event loop
//      ends with status 128 + the signal, so that the program leaves
//      through its normal shutdown.
//
// The handler itself only writes the signal's number to a socket; a
// notifier on the user-interface thread does the rest. Later signals are
// ignored while the program closes.
#include <QObject>

class CMainFrame;
class QSocketNotifier;

class CSignalClose : public QObject {
  Q_OBJECT
 public:
  // Takes over the three signals (one object at a time). Call once the
  // event loop is about to run: the close ends that loop.
  explicit CSignalClose(CMainFrame* frame, QObject* parent = nullptr);
  // Gives the signals back their default handling.
  ~CSignalClose() override;

  // The signal being handled; 0 before any came.
  int Signal() const { return m_nSignal; }

 private:
  void OnSignal();
  // Steps 3 and 4, once nothing is running or waiting any more.
  void Finish();
  void KeepUnsavedDocuments();

  CMainFrame* m_pFrame;
  QSocketNotifier* m_pNotifier = nullptr;
  int m_nSignal = 0;
  int m_nWaited = 0;  // looks at what still runs, at most kMaxWaits
};
