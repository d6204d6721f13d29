#include "platform/CCommandHost.h"

#include <QObject>

void CCommandHost::AddCommand(int id, chanset::Command command) { Commands().Add(id, std::move(command)); }

void CCommandHost::AddViewCommand(int id, std::function<void(CChansetView*)> handler, chanset::Command options) {
  if (!handler) {
    Commands().Remove(id);
    return;
  }
  // The registry runs it only while a view exists; the view is looked up
  // at the moment it runs.
  options.run = [this, handler = std::move(handler)] {
    if (CChansetView* view = ActiveView()) handler(view);
  };
  options.needs = chanset::CommandNeeds::View;
  Commands().Add(id, std::move(options));
}

void CCommandHost::OnCommand(int id) {
  Commands().Run(id);
  UpdateCommandUI();
}

void CCommandHost::RunUpdateHooks() {
  if (m_bRunningHooks) return;
  m_bRunningHooks = true;
  for (const auto& hook : m_updateHooks) hook();
  m_bRunningHooks = false;
}

CCommandHost* CCommandHost::Of(QObject* object) {
  for (; object; object = object->parent())
    if (auto* host = dynamic_cast<CCommandHost*>(object)) return host;
  return nullptr;
}
