#include "link/CDeviceWatcher.h"

using namespace chanset;

CDeviceWatcher* CDeviceWatcher::Instance() {
  static CDeviceWatcher watcher;
  return &watcher;
}

CDeviceWatcher::~CDeviceWatcher() {
  if (m_source) m_source->Stop();
}

void CDeviceWatcher::Watch() {
  if (m_source) return;
  m_source = MakeDeviceSource(DiscoveryRootsFromEnvironment());
  Start();
}

void CDeviceWatcher::UseSource(std::unique_ptr<DeviceSource> source) {
  if (m_source) m_source->Stop();
  m_source = std::move(source);
  if (m_source) Start();
}

QString CDeviceWatcher::SourceName() const {
  return m_source ? QString::fromStdString(m_source->Name()) : QString();
}

void CDeviceWatcher::Start() {
  // The source tells from its own thread; the signals go out on this one's.
  m_source->Start([this](const DeviceEvent& event) {
    const QString node = QString::fromStdString(event.node);
    const bool added = event.added;
    QMetaObject::invokeMethod(
        this,
        [this, node, added] {
          if (added)
            emit deviceAdded(node);
          else
            emit deviceRemoved(node);
          emit devicesChanged();
        },
        Qt::QueuedConnection);
  });
}
