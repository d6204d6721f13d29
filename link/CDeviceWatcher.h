#pragma once
// The machine's serial devices as they come and go, told on the
// user-interface thread: the batch dialog and Com Setup listen, and show
// what is plugged in now without being asked (link/DeviceSource.h).
//
// One watcher serves the whole program. It starts watching when it is first
// asked for (Watch) and goes on until the program ends; tests put a
// FakeDeviceSource in with UseSource.
#include <QObject>
#include <memory>

#include "link/DeviceSource.h"

class CDeviceWatcher : public QObject {
  Q_OBJECT
 public:
  static CDeviceWatcher* Instance();
  ~CDeviceWatcher() override;

  // Starts watching the machine (the roots of the environment) unless a
  // source already runs.
  void Watch();
  // Watches through `source` from now on (null: back to the machine's at
  // the next Watch).
  void UseSource(std::unique_ptr<chanset::DeviceSource> source);
  // What is watched, "" before Watch.
  QString SourceName() const;

 signals:
  void deviceAdded(const QString& node);
  void deviceRemoved(const QString& node);
  // After either of the two.
  void devicesChanged();

 private:
  CDeviceWatcher() = default;
  void Start();

  std::unique_ptr<chanset::DeviceSource> m_source;
};
