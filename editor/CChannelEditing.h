#pragma once
// Editing whole channels in the channel view: the row selection, the grid's
// context menu, dragging rows, and what Undo, Redo, Cut, Copy, Paste,
// Delete, Move Up and Move Down do.
//
// Selection: a click on the CH column (column 0) selects that channel, Ctrl
// adds or removes one, Shift selects the run from the last clicked channel;
// pressing on a CH cell and moving selects the run dragged over. Pressing on
// a selected channel and dragging moves the selected channels as one block
// to where they are dropped. A cell becoming current clears the selection;
// the in-place editors of the other columns work as before. The commands
// act on the selected channels, or on the channel of the current row when
// none is selected.
//
// Every change is one step of the document's undo history: the grid's
// channels are written into a copy of the image, the core changes the copy
// (editor/ChannelBlocks.h, editor/ChannelClipboard.h), and the document
// takes it as its new state, which the view then shows.
#include <QObject>
#include <QPoint>
#include <QVector>

#include "data/MemoryImage.h"
#include "data/UndoHistory.h"
#include "editor/ChannelRows.h"

class CChansetDoc;
class CChansetView;
class QHeaderView;
class QTableView;
class QWidget;

class CChannelEditing : public QObject {
  Q_OBJECT
 public:
  // The editing of `view`, made on first use; it lives as long as the view.
  static CChannelEditing* For(CChansetView* view);

  // The selected channels, in channel order.
  QVector<int> Selection() const { return m_selection; }
  // Replaces the selection (numbers outside 1..16 and repeats are dropped).
  void Select(const QVector<int>& channels);
  // What the commands act on: the selection, else the current row's channel.
  QVector<int> Targets() const;

  // Whether a command can act on the channels now: a document with a built
  // grid, no transfer running, and a target channel.
  bool CanChangeTargets() const;
  bool CanUndo() const;
  bool CanRedo() const;
  bool CanPaste() const;
  bool CanMoveUp() const;
  bool CanMoveDown() const;
  // The kind of the step Undo / Redo would take back or do again.
  chanset::EditKind UndoKind() const;
  chanset::EditKind RedoKind() const;

  // Each commits an open cell editor first, as leaving the cell would.
  void Undo();
  void Redo();
  void Copy();
  void Cut();
  // Pastes the clipboard at the first target channel; a refused paste
  // changes nothing and one message lists every refused cell.
  void Paste();
  void Delete();
  void MoveUp();
  void MoveDown();
  // Moves the targets as one block before channel `target` (17: to the
  // end), as dropping dragged rows does. False when nothing moved.
  bool MoveTo(int target);
  // Makes `after` the document's state as one step of `kind` (an import);
  // false when it changes nothing.
  bool ApplyState(chanset::EditKind kind, const chanset::Image& after);

  // The document as it stands, after committing an open cell editor.
  chanset::Image CommittedState();
  // The rules a pasted or imported cell is checked by: the band of the
  // document, the tone list, the interface language.
  chanset::RowRules Rules() const;

  // The context menu of the grid at `globalPos` (owned by the view, deleted
  // when it closes).
  QWidget* ShowContextMenu(const QPoint& globalPos);
  // The line that shows where dragged rows will land (visible while
  // dragging).
  QWidget* DropIndicator() const { return m_pDropLine; }

 signals:
  void selectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit CChannelEditing(CChansetView* view);
  CChansetDoc* Doc() const;
  bool Ready() const;
  // Shows the channel window when its close box hid it.
  void RevealWindow();
  // Runs `change` on the document's state; a change that returns true
  // becomes one step of `kind`.
  template <class Change>
  bool ChangeChannels(chanset::EditKind kind, Change change);
  void MoveBy(bool up);
  void UpdateInterface();
  void ShowMessage(const QString& text);

  // Mouse on the CH column and on the cells.
  int ChannelAtHeaderY(int y) const;
  int DropTargetAtHeaderY(int y) const;
  void ShowDropLine(int target);
  bool OnHeaderMouse(QEvent* event);
  bool OnCellsRightPress(QEvent* event);
  void PrepareForRowCommand(int channel);

  CChansetView* m_pView;
  QTableView* m_pTable = nullptr;
  QHeaderView* m_pHeader = nullptr;
  // The viewports this object filters, kept apart from their scroll areas:
  // while a scroll area is being destroyed its viewport still sends events,
  // and the area itself may no longer be asked for anything.
  const QObject* m_pHeaderViewport = nullptr;
  const QObject* m_pTableViewport = nullptr;
  QWidget* m_pDropLine = nullptr;
  QVector<int> m_selection;
  int m_anchor = 0;          // the channel Shift extends from
  int m_pressChannel = 0;    // left button down on this CH cell
  bool m_pressOnSelected = false;
  bool m_dragging = false;   // moving the selected rows
  QPoint m_pressPos;
};
