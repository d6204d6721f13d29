#pragma once
// The Power Adjustment dialog (template 138): the power table of the
// current band in a grid, one row per sub-range, one column per power
// level, edited through an in-place text box. It has no OK or Cancel: every
// way of closing it stores the whole table into the active document's
// image. Enter opens the editor (or, in the editor, commits it and moves
// one row down); Esc commits an open editor and never closes the dialog.
#include "dialogs/CSettingsDialog.h"

class CMSFlexGrid;
class QLineEdit;

class CPowerAdjustDlg : public CSettingsDialog {
  Q_OBJECT
 public:
  enum ControlIds { IdEditor = 1033, IdGrid = 1137 };

  explicit CPowerAdjustDlg(CCommandHost* host);
  ~CPowerAdjustDlg() override;

  // Grid size of the next showing, title row and label column included.
  void SetRowCount(int rows) { m_nRows = rows; }
  void SetColCount(int cols) { m_nCols = cols; }
  int RowCount() const { return m_nRows; }
  int ColCount() const { return m_nCols; }

  // Shows the dialog modally. Without a document window nothing is shown
  // and -1 is returned.
  int DoModal();

  CMSFlexGrid* Grid() const { return m_pGrid; }
  QLineEdit* Editor() const { return m_pEditor; }

  // Closing by any way stores the table first.
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnInitDialog();
  void FitRowHeights();
  void OpenEditor();
  void CommitEditor();
  void StoreTable();
  void WantHighLight(int mode);
  void OnMouseDown(short button, short shift, int x, int y);
  void OnEnterCell();
  void OnEnterKey(bool inEditor);
  bool Owns(const QObject* object) const;

  CMSFlexGrid* m_pGrid = nullptr;
  QLineEdit* m_pEditor = nullptr;
  int m_nRows = 1;
  int m_nCols = 4;
  int m_nFirstColWidth = 0;  // twips of column 0 as the grid first had it
  bool m_bShowing = false;
};
