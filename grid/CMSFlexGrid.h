#pragma once
// A read-only table with the grid-control operations and events the channel
// view and the power adjustment dialog use. Indices are 0-based and count the
// fixed (header) row and column; every size and position is in twips (1440
// per inch) relative to the control's top-left corner. At most one fixed row
// and one fixed column; they stay in place when the table scrolls and never
// become current.
#include <QColor>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QWidget>

class QKeyEvent;
class CFlexGridModel;
class CFlexTableView;
class CFlexCellDelegate;

class CMSFlexGrid : public QWidget {
  Q_OBJECT
 public:
  // Alignment codes of SetColAlignment.
  enum Alignment { AlignLeftTop = 0, AlignLeftCenter = 1, AlignLeftBottom = 2,
                   AlignCenterTop = 3, AlignCenterCenter = 4, AlignCenterBottom = 5,
                   AlignRightTop = 6, AlignRightCenter = 7, AlignRightBottom = 8,
                   AlignGeneral = 9 };
  // HighLight values: when a selected range is highlighted.
  enum HighLightMode { HighLightNever = 0, HighLightAlways = 1, HighLightWithFocus = 2 };

  explicit CMSFlexGrid(QWidget* parent = nullptr);
  ~CMSFlexGrid() override;

  int GetRows() const;
  void SetRows(int rows);
  int GetCols() const;
  void SetCols(int cols);
  int GetFixedRows() const;
  void SetFixedRows(int rows);  // 0 or 1
  int GetFixedCols() const;
  void SetFixedCols(int cols);  // 0 or 1

  // The current cell. Moving it fires LeaveCell (while Row/Col still name the
  // old cell), then EnterCell. A fixed or missing cell is not accepted. A
  // range selection (RowSel, ColSel) is highlighted as HighLight says; the
  // current cell carries a focus frame instead.
  int GetRow() const { return m_nRow; }
  void SetRow(int row);
  int GetCol() const { return m_nCol; }
  void SetCol(int col);
  // Row and column where the selection ends: the current cell, unless the
  // mouse dragged or shift-clicked a range from it, or a click on a fixed
  // cell selected the row (fixed column) or the column (fixed row) there.
  int GetRowSel() const { return m_nRowSel; }
  int GetColSel() const { return m_nColSel; }

  QString GetText() const;
  void SetText(const QString& text);
  QString GetTextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);

  int GetColAlignment(int col) const;
  void SetColAlignment(int col, int code);

  int GetColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int GetRowHeight(int row) const;
  void SetRowHeight(int row, int twips);
  int GetRowPos(int row) const;
  int GetColPos(int col) const;

  // Width in pixels of the lines drawn along each cell's right and bottom
  // edges (0 without grid lines).
  int GetGridLineWidth() const;

  int GetCellLeft() const { return GetColPos(m_nCol); }
  int GetCellTop() const { return GetRowPos(m_nRow); }
  int GetCellWidth() const { return GetColWidth(m_nCol); }
  int GetCellHeight() const { return GetRowHeight(m_nRow); }

  // The cell under the pointer at the last mouse event over the control;
  // -1 outside the cells.
  int GetMouseRow() const;
  int GetMouseCol() const;

  int GetHighLight() const { return m_nHighLight; }
  void SetHighLight(int mode);

  // Rows shown selected whatever HighLight says (a selection of whole rows
  // kept by the grid's owner); an empty list marks none.
  void SetMarkedRows(const QVector<int>& rows);
  bool IsRowMarked(int row) const { return m_markedRows.contains(row); }

  // The colour set for the header texts; the headers show it as it is on
  // a light palette, and a readable colour of the same hue on a dark one
  // (platform/ReadableColour.h).
  QColor GetForeColorFixed() const;
  void SetForeColorFixed(const QColor& color);
  QColor ShownForeColorFixed() const;

  // Repaints the cells at once (the headers repaint when their texts change).
  void Refresh();

  // The name screen readers give the table.
  void SetName(const QString& name);

  // A key that types a character: printable text, no Ctrl, Alt or Meta.
  static bool IsTypedKey(const QKeyEvent* event);

  // Pixels of the control's screen per inch, horizontally and vertically.
  int DpiX() const;
  int DpiY() const;

 signals:
  void EnterCell();
  void LeaveCell();
  // Button: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt.
  // x, y in pixels relative to the control. Sent after a click has moved the
  // current cell.
  void MouseDown(short button, short shift, int x, int y);
  // A character typed while the table itself has the focus; the table does
  // nothing else with it (typing never moves the current cell).
  void KeyTyped(QKeyEvent* event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class CFlexTableView;
  friend class CFlexCellDelegate;
  void OnCurrentChanged(int row, int col);
  void MoveCurrent(int row, int col);
  void Reshape(int rows, int cols, int fixedRows, int fixedCols);
  void ApplySizes();
  void SelectRange();
  bool InSelection(int row, int col) const;
  bool HasRange() const;
  bool IsMovable(int row, int col) const;
  int ColPosPixels(int col) const;
  int RowPosPixels(int row) const;
  int ColAt(int x) const;
  int RowAt(int y) const;
  void PaintCorner(QWidget* corner);
  void ApplyFixedColour();

  CFlexGridModel* m_pModel;
  CFlexTableView* m_pTable;
  QWidget* m_pCorner = nullptr;
  QVector<int> m_colWidthPx;
  QVector<int> m_rowHeightPx;
  int m_nRow = 1;
  int m_nCol = 1;
  int m_nRowSel = 1;
  int m_nColSel = 1;
  int m_nHighLight = HighLightAlways;
  bool m_bSilent = false;    // current-cell changes made by a reshape fire no events
  bool m_bDragging = false;
  QPoint m_mousePos{-1, -1};
  QVector<int> m_markedRows;
};
