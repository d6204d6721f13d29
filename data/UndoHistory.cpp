#include "data/UndoHistory.h"

namespace chanset {

EditKind CellEditKind(int column) {
  static const EditKind kColumns[] = {EditKind::RxFrequency, EditKind::TxFrequency, EditKind::DecTone,
                                      EditKind::EncTone,     EditKind::Width,       EditKind::Scan,
                                      EditKind::BusyLock,    EditKind::Power};
  return column >= 1 && column <= 8 ? kColumns[column - 1] : EditKind::Move;
}

UndoHistory::UndoHistory(std::size_t limit) : m_limit(limit == 0 ? 1 : limit) {}

bool UndoHistory::Record(EditKind kind, const Image& before, const Image& after) {
  if (before == after) return false;
  // A saved state among the dropped redo steps is gone for good.
  if (m_saved != kNever && m_saved > m_position) m_saved = kNever;
  m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_position), m_steps.end());
  m_steps.push_back({kind, before, after});
  ++m_position;
  if (m_steps.size() > m_limit) {
    m_steps.pop_front();
    --m_position;
    // The saved state was the one before the dropped step: no longer reachable.
    if (m_saved != kNever) m_saved = m_saved == 0 ? kNever : m_saved - 1;
  }
  return true;
}

EditKind UndoHistory::UndoKind() const { return CanUndo() ? m_steps[m_position - 1].kind : EditKind::Move; }

EditKind UndoHistory::RedoKind() const { return CanRedo() ? m_steps[m_position].kind : EditKind::Move; }

const Image* UndoHistory::Undo() {
  if (!CanUndo()) return nullptr;
  --m_position;
  return &m_steps[m_position].before;
}

const Image* UndoHistory::Redo() {
  if (!CanRedo()) return nullptr;
  ++m_position;
  return &m_steps[m_position - 1].after;
}

void UndoHistory::MarkSaved() { m_saved = m_position; }

bool UndoHistory::IsModified() const { return m_saved != m_position; }

void UndoHistory::Clear() {
  m_steps.clear();
  m_position = 0;
  m_saved = 0;
}

}  // namespace chanset
