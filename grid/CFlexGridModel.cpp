#include "grid/CFlexGridModel.h"

namespace {
// The grid's "general" alignment: text left, numbers right; shown left-centre.
constexpr int kAlignGeneral = 9;
}  // namespace

CFlexGridModel::CFlexGridModel(QObject* parent) : QAbstractTableModel(parent) {
  m_cells.resize(m_nRows * m_nCols);
  m_colAlignment.fill(kAlignGeneral, m_nCols);
}

void CFlexGridModel::SetShape(int rows, int cols, int fixedRows, int fixedCols) {
  rows = qMax(0, rows);
  cols = qMax(0, cols);
  fixedRows = qBound(0, fixedRows, 1);
  fixedCols = qBound(0, fixedCols, 1);
  if (rows == m_nRows && cols == m_nCols && fixedRows == m_nFixedRows &&
      fixedCols == m_nFixedCols)
    return;
  beginResetModel();
  QVector<QString> cells(rows * cols);
  for (int r = 0; r < qMin(rows, m_nRows); ++r)
    for (int c = 0; c < qMin(cols, m_nCols); ++c) cells[r * cols + c] = m_cells[r * m_nCols + c];
  m_cells.swap(cells);
  m_colAlignment.resize(cols);
  for (int c = m_nCols; c < cols; ++c) m_colAlignment[c] = kAlignGeneral;
  m_nRows = rows;
  m_nCols = cols;
  m_nFixedRows = fixedRows;
  m_nFixedCols = fixedCols;
  endResetModel();
}

bool CFlexGridModel::Valid(int row, int col) const {
  return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols;
}

QString CFlexGridModel::Cell(int row, int col) const {
  return Valid(row, col) ? m_cells[row * m_nCols + col] : QString();
}

void CFlexGridModel::SetCell(int row, int col, const QString& text) {
  if (!Valid(row, col)) return;
  QString& cell = m_cells[row * m_nCols + col];
  if (cell == text) return;
  cell = text;
  const bool fixedRow = row < m_nFixedRows;
  const bool fixedCol = col < m_nFixedCols;
  if (fixedRow && !fixedCol) {
    emit headerDataChanged(Qt::Horizontal, col - m_nFixedCols, col - m_nFixedCols);
  } else if (fixedCol && !fixedRow) {
    emit headerDataChanged(Qt::Vertical, row - m_nFixedRows, row - m_nFixedRows);
  } else if (!fixedRow && !fixedCol) {
    const QModelIndex i = index(row - m_nFixedRows, col - m_nFixedCols);
    emit dataChanged(i, i, {Qt::DisplayRole});
  }
  // The corner cell is painted by the grid itself from Cell(0, 0).
}

int CFlexGridModel::ColAlignment(int col) const {
  return (col >= 0 && col < m_nCols) ? m_colAlignment[col] : kAlignGeneral;
}

void CFlexGridModel::SetColAlignment(int col, int code) {
  if (col < 0 || col >= m_nCols) return;
  m_colAlignment[col] = qBound(0, code, kAlignGeneral);
  if (col >= m_nFixedCols && rowCount() > 0) {
    const int c = col - m_nFixedCols;
    emit dataChanged(index(0, c), index(rowCount() - 1, c), {Qt::TextAlignmentRole});
    emit headerDataChanged(Qt::Horizontal, c, c);
  } else if (col < m_nFixedCols && rowCount() > 0) {
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  }
}

void CFlexGridModel::SetForeColorFixed(const QColor& color) { m_foreColorFixed = color; }

int CFlexGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nRows - m_nFixedRows;
}

int CFlexGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nCols - m_nFixedCols;
}

QVariant CFlexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + m_nFixedRows;
  const int col = index.column() + m_nFixedCols;
  switch (role) {
    case Qt::DisplayRole:
      return Cell(row, col);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(QtAlignment(ColAlignment(col)));
    default:
      return {};
  }
}

QVariant CFlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const bool horizontal = orientation == Qt::Horizontal;
  const int row = horizontal ? 0 : section + m_nFixedRows;
  const int col = horizontal ? section + m_nFixedCols : 0;
  switch (role) {
    case Qt::DisplayRole:
      if (horizontal ? m_nFixedRows == 0 : m_nFixedCols == 0) return {};
      return Cell(row, col);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(QtAlignment(ColAlignment(col)));
    default:
      return {};
  }
}

Qt::ItemFlags CFlexGridModel::flags(const QModelIndex& index) const {
  // Read-only: every change goes through the owner's in-place editors.
  return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}

Qt::Alignment CFlexGridModel::QtAlignment(int code) {
  // Codes 0..8: horizontal left/centre/right in groups of three, vertical
  // top/centre/bottom within each group; 9 is the general alignment.
  if (code < 0 || code > 8) return Qt::AlignLeft | Qt::AlignVCenter;
  static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
  return horizontal[code / 3] | vertical[code % 3];
}
