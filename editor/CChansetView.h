#pragma once
// The channel window's form (template 101): a title line over the 16-channel
// grid, with the in-place editors that every edit goes through. It is the
// document's only view. The grid's texts are the working copy of the
// channels; EncodeGridToImage writes them into the document's image.
#include <QPointer>
#include <QVector>
#include <QWidget>

#include "data/MemoryImage.h"
#include "data/RadioBands.h"
#include "editor/ToneTable.h"
#include "platform/CDialogTemplate.h"

class CChansetDoc;
class CMSFlexGrid;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

class CChansetView : public QWidget {
  Q_OBJECT
 public:
  // Control ids of the form and of the in-place editors.
  enum ControlIds {
    IdGrid = 1000,
    IdTitleLine = 1006,
    IdRxEdit = 2127,
    IdTxEdit = 2128,
    IdDecList = 2132,
    IdEncList = 2133,
    IdWidthList = 2134,
    IdScanList = 2135,
    IdBusyList = 1130,
    IdPowerList = 1129,
  };

  explicit CChansetView(CChansetDoc* doc, QWidget* parent = nullptr);
  ~CChansetView() override;

  CChansetDoc* GetDocument() const { return m_pDocument; }

  // The first call builds the grid, the editors and their lists; every call
  // then loads the frame's icon and refreshes from the image.
  void OnInitialUpdate();
  // Decodes all channels into the grid and applies the image's type and band
  // (registry, window title, limits, power rows). An open editor is closed
  // without committing: its text belonged to the texts being replaced.
  void RefreshFromImage();
  // Commits an open editor, then encodes the grid's texts into the
  // document's image.
  void EncodeGridToImage();
  // Shows the document's image after a step of its history replaced it
  // (undo, redo, paste, import, ...): the channels, and the radio type and
  // band of that image, whether or not the document is a fresh one.
  void ShowDocumentState();
  // Commits an open in-place editor into its cell (used when the current
  // cell changes and before every radio transfer). False when the typed
  // frequency was refused (its message has been shown).
  bool CommitEditor();
  // Before the document is closed, replaced or offered for saving: commits
  // an open editor. A refused value shows its message, then the editor opens
  // again on its cell with the text as typed, so that nothing typed is lost
  // and the user can correct it; the caller then abandons what it was doing.
  bool CommitBeforeClosing();

  chanset::BandLimits Limits() const { return m_limits; }
  void SetLimits(const chanset::BandLimits& limits) { m_limits = limits; }

  CMSFlexGrid* Grid() const { return m_pGrid; }
  // The editor of a grid column (1..8); any other column maps to the Rx box.
  QWidget* EditorOfColumn(int col) const;
  // The control id of a widget of this view (an editor, the grid or a part
  // of it, the title line); -1 for anything else.
  int ControlIdOf(const QWidget* widget) const;

  // The window around the view: its sub-window, or the view itself when it
  // is a window.
  QWidget* Frame();

  // Gives the keyboard back to the current cell: its open editor, else the
  // grid (after a transfer, a dialog, another window hiding).
  void FocusCurrentCell();
  // Where the keyboard works now, in view coordinates: the open editor, else
  // the grid's current cell.
  QRect CurrentCellRect() const;

  QSize sizeHint() const override;

 signals:
  // The main window title changed (type and band).
  void titleChanged(const QString& title);
  // An accepted edit changed the grid.
  void edited();

 protected:
  // Key pre-processing: F1 and Enter belong to the view whichever of its
  // controls has the focus; Esc and the undo keys of an open editor too.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // RefreshFromImage's work; with `takeRegistryTypeAndBand` the image gets
  // the registry's last type and band, else hands its own to the registry.
  void ShowImage(bool takeRegistryTypeAndBand);
  void BuildForm();
  void BuildGridAndEditors();
  void FitFrameToForm();
  void LoadFrameIcon();
  void OnEnterCell();
  void OnLeaveCell();
  void OnMouseDown(short button, short shift, int x, int y);
  void OpenEditor();
  // Commits the open editor; false when the typed frequency was refused.
  bool Commit();
  void OnEnterKey();
  void OnHelpKey();
  // A character typed on the grid goes to the current cell's editor,
  // opening it as typing into a spreadsheet cell does.
  void OnKeyTyped(QKeyEvent* event);
  // Esc: the editor closes without a commit; the cell keeps its text.
  void CancelEditor();
  // Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z in an open editor: true when the editor
  // has nothing of its own to undo or redo, so the key goes on to the
  // document's Undo or Redo.
  bool PassesUndoKey(QWidget* editor, const QKeyEvent* event) const;
  // The colours and the names screen readers use, from the palette and the
  // pack.
  void ApplyTitleColour();
  void NameOpenEditor(QWidget* editor);
  bool OwnsWidget(const QObject* object) const;
  // The open editor when `object` is it or a part of it; nullptr otherwise.
  QWidget* OpenEditorOwning(const QObject* object) const;
  // Tab out of an open editor, or its focus moving elsewhere, commits it.
  // True when the event is used up.
  bool LeaveOpenEditor(QObject* watched, QEvent* event);
  // Commits an open editor, then writes the grid's channels into `image`
  // (nothing before the grid is built).
  void EncodeInto(chanset::Image& image);

  CChansetDoc* m_pDocument;
  CDialogTemplate m_form;
  QLabel* m_pTitleLine = nullptr;
  CMSFlexGrid* m_pGrid = nullptr;
  QLineEdit* m_pRxEdit = nullptr;
  QLineEdit* m_pTxEdit = nullptr;
  QVector<QComboBox*> m_lists;  // columns 3..8
  QLabel* m_pEditorLabel = nullptr;  // never shown: names the open editor for screen readers
  chanset::ToneTable m_tones;
  chanset::BandLimits m_limits;
  bool m_bFirstInit = true;
  bool m_bWalking = false;  // Enter is moving the current cell
};
