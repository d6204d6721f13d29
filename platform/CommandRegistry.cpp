#include "platform/CommandRegistry.h"

namespace chanset {

void CommandRegistry::Add(int id, Command command) {
  if (!command.run) {
    Remove(id);
    return;
  }
  m_commands[id] = std::move(command);
  Changed(id);
}

void CommandRegistry::Remove(int id) {
  if (m_commands.erase(id) != 0) Changed(id);
}

bool CommandRegistry::IsEnabled(int id) const {
  auto it = m_commands.find(id);
  if (it == m_commands.end()) return false;
  if (m_locked && m_locked(id)) return false;
  const Command& command = it->second;
  if (command.needs != CommandNeeds::Nothing && m_available && !m_available(command.needs)) return false;
  return !command.enabled || command.enabled();
}

bool CommandRegistry::IsCheckable(int id) const {
  auto it = m_commands.find(id);
  return it != m_commands.end() && it->second.checked;
}

bool CommandRegistry::IsChecked(int id) const { return IsCheckable(id) && m_commands.at(id).checked(); }

bool CommandRegistry::Run(int id) {
  if (!IsEnabled(id)) return false;
  // A copy: the handler may replace or remove its own command.
  std::function<void()> run = m_commands.at(id).run;
  run();
  return true;
}

void CommandRegistry::SetText(int id, const std::string& text) {
  const std::string old = Text(id);
  if (text.empty())
    m_texts.erase(id);
  else
    m_texts[id] = text;
  if (old != text) Changed(id);
}

std::string CommandRegistry::Text(int id) const {
  auto it = m_texts.find(id);
  return it == m_texts.end() ? std::string() : it->second;
}

void CommandRegistry::Changed(int id) const {
  if (m_observer) m_observer(id);
}

}  // namespace chanset
