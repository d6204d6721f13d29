#pragma once
// Tells the program's windows that a line was added to the write log, on
// the user-interface thread (from whichever thread logged it).
#include <QObject>

class CWriteLogNotifier : public QObject {
  Q_OBJECT
 public:
  static CWriteLogNotifier* Instance();
  // Safe from any thread.
  static void Appended();

 signals:
  void appended();
};
