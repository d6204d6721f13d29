#pragma once
// The cell store behind CMSFlexGrid: every cell's text, fixed ones included,
// indexed like the grid (0-based, fixed rows and columns first). The table
// widget sees the fixed row and column as its headers and the rest as its
// items, so the headers stay put when the table scrolls.
#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QVector>

class CFlexGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CFlexGridModel(QObject* parent = nullptr);

  int Rows() const { return m_nRows; }
  int Cols() const { return m_nCols; }
  int FixedRows() const { return m_nFixedRows; }
  int FixedCols() const { return m_nFixedCols; }
  // Shape changes keep the texts of the cells that remain.
  void SetShape(int rows, int cols, int fixedRows, int fixedCols);

  QString Cell(int row, int col) const;
  void SetCell(int row, int col, const QString& text);

  // Alignment code of a column (0..9, 4 = centre-centre), for all its cells.
  int ColAlignment(int col) const;
  void SetColAlignment(int col, int code);

  // The header texts' colour; the grid gives it to its headers' palette.
  QColor ForeColorFixed() const { return m_foreColorFixed; }
  void SetForeColorFixed(const QColor& color);

  // QAbstractTableModel: the scrolling part of the grid.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  static Qt::Alignment QtAlignment(int code);

 private:
  bool Valid(int row, int col) const;

  int m_nRows = 2;
  int m_nCols = 2;
  int m_nFixedRows = 1;
  int m_nFixedCols = 1;
  QVector<QString> m_cells;      // m_nRows * m_nCols, row-major
  QVector<int> m_colAlignment;   // per column
  QColor m_foreColorFixed{Qt::black};
};
