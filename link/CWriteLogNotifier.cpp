#include "link/CWriteLogNotifier.h"

CWriteLogNotifier* CWriteLogNotifier::Instance() {
  static CWriteLogNotifier notifier;
  return &notifier;
}

void CWriteLogNotifier::Appended() {
  QMetaObject::invokeMethod(Instance(), [] { emit Instance()->appended(); }, Qt::QueuedConnection);
}
