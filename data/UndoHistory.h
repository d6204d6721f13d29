#pragma once
// The undo history of one document. Each step keeps the whole memory image
// before and after one change (1024 bytes each, so a long history stays
// small) and what kind of change it was, for the "Undo ..." / "Redo ..."
// texts the language packs give each kind.
//
// The history also knows whether the document is modified: Save marks the
// current position as the saved one, and the document is unmodified exactly
// when the history stands there again. A saved position that a new change
// discarded (it lay among the steps that could have been redone) can never
// be reached again, so the document stays modified until the next save.
//
// Use: before a change, take the image; after it, Record(kind, before,
// image). Undo()/Redo() return the image to put in place.
#include <cstddef>
#include <deque>

#include "data/MemoryImage.h"

namespace chanset {

// What a step did. A committed cell has the kind of its grid column.
enum class EditKind {
  RxFrequency,
  TxFrequency,
  DecTone,
  EncTone,
  Width,
  Scan,
  BusyLock,
  Power,
  ClearChannel,      // the Rx emptied, the channel deleted
  OptionalFeatures,  // the Optional Features dialog's OK
  ProductInfo,       // the Product Information dialog's OK (type and band)
  PowerAdjust,       // a change of the power adjustment table
  Read,              // a completed radio read
  Import,
  Paste,
  Cut,
  Delete,
  Move,
};

// The kind of a committed cell of grid column 1..8 (Move for any other).
EditKind CellEditKind(int column);

class UndoHistory {
 public:
  // At most `limit` steps are kept (at least 1); the oldest goes first.
  explicit UndoHistory(std::size_t limit = kDefaultLimit);
  static constexpr std::size_t kDefaultLimit = 1000;

  // Records a change from `before` to `after`. A change that leaves every
  // byte as it was is no step (returns false). The steps that could have
  // been redone are dropped.
  bool Record(EditKind kind, const Image& before, const Image& after);

  bool CanUndo() const { return m_position > 0; }
  bool CanRedo() const { return m_position < m_steps.size(); }
  // The kind of the step Undo / Redo would take back or do again; only
  // meaningful when CanUndo() / CanRedo().
  EditKind UndoKind() const;
  EditKind RedoKind() const;

  // Steps back (or forward) and returns the image to restore; nullptr when
  // there is nothing to undo (redo). The pointer stays valid until the next
  // change of the history.
  const Image* Undo();
  const Image* Redo();

  // Save: the current position is the saved state.
  void MarkSaved();
  // Whether the document differs from its saved state (a new document
  // counts as saved until its first change).
  bool IsModified() const;

  // Forgets every step (a load or New); the current state is the saved one.
  void Clear();

  std::size_t Size() const { return m_steps.size(); }

 private:
  struct Step {
    EditKind kind;
    Image before;
    Image after;
  };
  std::deque<Step> m_steps;
  std::size_t m_limit;
  std::size_t m_position = 0;  // steps done; m_steps[m_position - 1] is the last
  // The position of the saved state; kNever once that state is unreachable.
  static constexpr std::size_t kNever = static_cast<std::size_t>(-1);
  std::size_t m_saved = 0;
};

}  // namespace chanset
