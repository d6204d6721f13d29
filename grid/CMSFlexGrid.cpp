#include "grid/CMSFlexGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableView>

#include "grid/CFlexGridModel.h"
#include "grid/CPlainTableView.h"
#include "grid/Twips.h"
#include "platform/ReadableColour.h"

using chanset::PixelsToTwips;
using chanset::TwipsToPixels;

namespace {
constexpr int kDefaultColWidthPx = 64;
constexpr int kFrameWidth = 2;  // sunken border around the cells
}  // namespace

// The table widget behind the grid: reports every change of the current
// index to the grid, which turns it into LeaveCell / EnterCell. Typing never
// moves the current cell (no keyboard search): a printable key goes to the
// grid's owner as KeyTyped, or nowhere.
class CFlexTableView : public CPlainTableView {
 public:
  explicit CFlexTableView(CMSFlexGrid* grid) : CPlainTableView(grid), m_pGrid(grid) {}

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
      m_pGrid->OnCurrentChanged(current.row() + m_pGrid->GetFixedRows(),
                                current.column() + m_pGrid->GetFixedCols());
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (CMSFlexGrid::IsTypedKey(event)) {
      emit m_pGrid->KeyTyped(event);
      event->accept();
      return;
    }
    QTableView::keyPressEvent(event);
  }

 private:
  CMSFlexGrid* m_pGrid;
};

// Draws the selected range (the current cell, or the range dragged from it)
// as the HighLight mode says. The table's own selection stays empty, since
// the table would paint it before any delegate could refuse.
class CFlexCellDelegate : public QStyledItemDelegate {
 public:
  CFlexCellDelegate(const CMSFlexGrid* grid, const QWidget* table, QObject* parent)
      : QStyledItemDelegate(parent), m_pGrid(grid), m_pTable(table) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    // Cells are white; the area beyond the last row and column is not.
    option->backgroundBrush = option->palette.brush(QPalette::Base);
    if (m_pGrid->IsRowMarked(index.row() + m_pGrid->GetFixedRows())) {
      option->state |= QStyle::State_Selected;
      return;
    }
    const int mode = m_pGrid->GetHighLight();
    const bool show = mode == CMSFlexGrid::HighLightAlways ||
                      (mode == CMSFlexGrid::HighLightWithFocus && m_pTable->hasFocus());
    // A selection of one cell is the current cell, which the focus frame
    // marks; only a range is highlighted.
    if (show && m_pGrid->HasRange() &&
        m_pGrid->InSelection(index.row() + m_pGrid->GetFixedRows(),
                             index.column() + m_pGrid->GetFixedCols()))
      option->state |= QStyle::State_Selected;
    else
      option->state &= ~QStyle::State_Selected;
  }

 private:
  const CMSFlexGrid* m_pGrid;
  const QWidget* m_pTable;
};

namespace {
short ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

short ShiftCode(Qt::KeyboardModifiers mods) {
  short code = 0;
  if (mods & Qt::ShiftModifier) code |= 1;
  if (mods & Qt::ControlModifier) code |= 2;
  if (mods & Qt::AltModifier) code |= 4;
  return code;
}
}  // namespace

CMSFlexGrid::CMSFlexGrid(QWidget* parent)
    : QWidget(parent), m_pModel(new CFlexGridModel(this)), m_pTable(new CFlexTableView(this)) {
  m_pTable->setModel(m_pModel);
  m_pTable->setItemDelegate(new CFlexCellDelegate(this, m_pTable, m_pTable));
  m_pTable->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_pTable->setLineWidth(kFrameWidth);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectItems);
  m_pTable->setTabKeyNavigation(false);
  m_pTable->setWordWrap(false);
  m_pTable->setCornerButtonEnabled(false);
  m_pTable->setMouseTracking(true);
  for (QHeaderView* header : {m_pTable->horizontalHeader(), m_pTable->verticalHeader()}) {
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(1);
    header->viewport()->installEventFilter(this);
    header->viewport()->setMouseTracking(true);
  }
  m_pTable->viewport()->installEventFilter(this);
  m_pTable->viewport()->setMouseTracking(true);
  // Presses on the table's border are presses on the grid as well.
  m_pTable->installEventFilter(this);
  m_pTable->viewport()->setBackgroundRole(QPalette::Mid);
  // The corner button shows the text of cell (0, 0).
  m_pCorner = m_pTable->findChild<QAbstractButton*>();
  if (m_pCorner) m_pCorner->installEventFilter(this);
  ApplyFixedColour();
  setFocusProxy(m_pTable);
  setFocusPolicy(Qt::StrongFocus);

  const int defaultRow = fontMetrics().height() + 6;
  m_colWidthPx.fill(kDefaultColWidthPx, m_pModel->Cols());
  m_rowHeightPx.fill(defaultRow, m_pModel->Rows());
  ApplySizes();
  m_bSilent = true;
  MoveCurrent(m_nRow, m_nCol);
  m_bSilent = false;
}

CMSFlexGrid::~CMSFlexGrid() = default;

int CMSFlexGrid::GetRows() const { return m_pModel->Rows(); }
int CMSFlexGrid::GetCols() const { return m_pModel->Cols(); }
int CMSFlexGrid::GetFixedRows() const { return m_pModel->FixedRows(); }
int CMSFlexGrid::GetFixedCols() const { return m_pModel->FixedCols(); }

void CMSFlexGrid::SetRows(int rows) {
  Reshape(rows, GetCols(), GetFixedRows(), GetFixedCols());
}
void CMSFlexGrid::SetCols(int cols) {
  Reshape(GetRows(), cols, GetFixedRows(), GetFixedCols());
}
void CMSFlexGrid::SetFixedRows(int rows) {
  Reshape(GetRows(), GetCols(), rows, GetFixedCols());
}
void CMSFlexGrid::SetFixedCols(int cols) {
  Reshape(GetRows(), GetCols(), GetFixedRows(), cols);
}

void CMSFlexGrid::Reshape(int rows, int cols, int fixedRows, int fixedCols) {
  const int defaultRow = m_rowHeightPx.isEmpty() ? fontMetrics().height() + 6 : m_rowHeightPx.last();
  m_pModel->SetShape(rows, cols, fixedRows, fixedCols);
  const int oldCols = m_colWidthPx.size();
  m_colWidthPx.resize(m_pModel->Cols());
  for (int c = oldCols; c < m_colWidthPx.size(); ++c) m_colWidthPx[c] = kDefaultColWidthPx;
  const int oldRows = m_rowHeightPx.size();
  m_rowHeightPx.resize(m_pModel->Rows());
  for (int r = oldRows; r < m_rowHeightPx.size(); ++r) m_rowHeightPx[r] = defaultRow;
  ApplySizes();
  // Keep the current cell where it was, within the new shape; the move is
  // not a user's move and fires no events.
  const int row = qBound(GetFixedRows(), m_nRow, qMax(GetFixedRows(), GetRows() - 1));
  const int col = qBound(GetFixedCols(), m_nCol, qMax(GetFixedCols(), GetCols() - 1));
  m_nRow = row;
  m_nCol = col;
  m_nRowSel = row;
  m_nColSel = col;
  m_bSilent = true;
  if (IsMovable(row, col)) MoveCurrent(row, col);
  m_bSilent = false;
}

void CMSFlexGrid::ApplySizes() {
  const int fr = GetFixedRows();
  const int fc = GetFixedCols();
  QHeaderView* top = m_pTable->horizontalHeader();
  QHeaderView* left = m_pTable->verticalHeader();
  top->setVisible(fr > 0);
  left->setVisible(fc > 0);
  if (fr > 0 && !m_rowHeightPx.isEmpty()) top->setFixedHeight(m_rowHeightPx[0]);
  if (fc > 0 && !m_colWidthPx.isEmpty()) left->setFixedWidth(m_colWidthPx[0]);
  for (int c = fc; c < m_colWidthPx.size(); ++c) m_pTable->setColumnWidth(c - fc, m_colWidthPx[c]);
  for (int r = fr; r < m_rowHeightPx.size(); ++r) m_pTable->setRowHeight(r - fr, m_rowHeightPx[r]);
  if (m_pCorner) m_pCorner->update();
}

bool CMSFlexGrid::IsMovable(int row, int col) const {
  return row >= GetFixedRows() && row < GetRows() && col >= GetFixedCols() && col < GetCols();
}

void CMSFlexGrid::MoveCurrent(int row, int col) {
  if (!IsMovable(row, col)) return;
  const QModelIndex index = m_pModel->index(row - GetFixedRows(), col - GetFixedCols());
  m_pTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CMSFlexGrid::OnCurrentChanged(int row, int col) {
  if (row == m_nRow && col == m_nCol) return;
  if (m_bSilent) {
    m_nRow = m_nRowSel = row;
    m_nCol = m_nColSel = col;
    return;
  }
  emit LeaveCell();
  m_nRow = m_nRowSel = row;
  m_nCol = m_nColSel = col;
  m_pTable->viewport()->update();
  emit EnterCell();
}

void CMSFlexGrid::SetRow(int row) { MoveCurrent(row, m_nCol); }
void CMSFlexGrid::SetCol(int col) { MoveCurrent(m_nRow, col); }

void CMSFlexGrid::SelectRange() { m_pTable->viewport()->update(); }

bool CMSFlexGrid::HasRange() const { return m_nRowSel != m_nRow || m_nColSel != m_nCol; }

bool CMSFlexGrid::InSelection(int row, int col) const {
  return row >= qMin(m_nRow, m_nRowSel) && row <= qMax(m_nRow, m_nRowSel) &&
         col >= qMin(m_nCol, m_nColSel) && col <= qMax(m_nCol, m_nColSel);
}

QString CMSFlexGrid::GetText() const { return m_pModel->Cell(m_nRow, m_nCol); }
void CMSFlexGrid::SetText(const QString& text) { m_pModel->SetCell(m_nRow, m_nCol, text); }

QString CMSFlexGrid::GetTextMatrix(int row, int col) const { return m_pModel->Cell(row, col); }
void CMSFlexGrid::SetTextMatrix(int row, int col, const QString& text) {
  m_pModel->SetCell(row, col, text);
  if (row == 0 && col == 0 && m_pCorner) m_pCorner->update();
}

int CMSFlexGrid::GetColAlignment(int col) const { return m_pModel->ColAlignment(col); }
void CMSFlexGrid::SetColAlignment(int col, int code) {
  m_pModel->SetColAlignment(col, code);
  if (col == 0 && m_pCorner) m_pCorner->update();
}

int CMSFlexGrid::DpiX() const { return logicalDpiX(); }
int CMSFlexGrid::DpiY() const { return logicalDpiY(); }

int CMSFlexGrid::GetColWidth(int col) const {
  if (col < 0 || col >= m_colWidthPx.size()) return 0;
  return PixelsToTwips(m_colWidthPx[col], DpiX());
}

void CMSFlexGrid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= m_colWidthPx.size()) return;
  m_colWidthPx[col] = qMax(0, TwipsToPixels(twips, DpiX()));
  ApplySizes();
}

int CMSFlexGrid::GetRowHeight(int row) const {
  if (row < 0 || row >= m_rowHeightPx.size()) return 0;
  return PixelsToTwips(m_rowHeightPx[row], DpiY());
}

void CMSFlexGrid::SetRowHeight(int row, int twips) {
  if (row < 0 || row >= m_rowHeightPx.size()) return;
  m_rowHeightPx[row] = qMax(0, TwipsToPixels(twips, DpiY()));
  ApplySizes();
}

// Positions in pixels relative to the control: the fixed column sits just
// inside the border, the other columns follow it and move with the scroll.
int CMSFlexGrid::ColPosPixels(int col) const {
  const int frame = m_pTable->frameWidth();
  if (col < GetFixedCols()) return frame;
  const int fixedWidth = GetFixedCols() > 0 ? m_colWidthPx.value(0) : 0;
  return frame + fixedWidth + m_pTable->columnViewportPosition(col - GetFixedCols());
}

int CMSFlexGrid::RowPosPixels(int row) const {
  const int frame = m_pTable->frameWidth();
  if (row < GetFixedRows()) return frame;
  const int fixedHeight = GetFixedRows() > 0 ? m_rowHeightPx.value(0) : 0;
  return frame + fixedHeight + m_pTable->rowViewportPosition(row - GetFixedRows());
}

int CMSFlexGrid::GetColPos(int col) const {
  if (col < 0 || col >= GetCols()) return 0;
  return PixelsToTwips(ColPosPixels(col), DpiX());
}

int CMSFlexGrid::GetRowPos(int row) const {
  if (row < 0 || row >= GetRows()) return 0;
  return PixelsToTwips(RowPosPixels(row), DpiY());
}

int CMSFlexGrid::ColAt(int x) const {
  const int frame = m_pTable->frameWidth();
  const int fixedWidth = GetFixedCols() > 0 ? m_colWidthPx.value(0) : 0;
  if (x < frame) return -1;
  if (x < frame + fixedWidth) return 0;
  const int c = m_pTable->columnAt(x - frame - fixedWidth);
  return c < 0 ? -1 : c + GetFixedCols();
}

int CMSFlexGrid::RowAt(int y) const {
  const int frame = m_pTable->frameWidth();
  const int fixedHeight = GetFixedRows() > 0 ? m_rowHeightPx.value(0) : 0;
  if (y < frame) return -1;
  if (y < frame + fixedHeight) return 0;
  const int r = m_pTable->rowAt(y - frame - fixedHeight);
  return r < 0 ? -1 : r + GetFixedRows();
}

int CMSFlexGrid::GetGridLineWidth() const { return m_pTable->showGrid() ? 1 : 0; }

int CMSFlexGrid::GetMouseRow() const { return m_mousePos.y() < 0 ? -1 : RowAt(m_mousePos.y()); }
int CMSFlexGrid::GetMouseCol() const { return m_mousePos.x() < 0 ? -1 : ColAt(m_mousePos.x()); }

void CMSFlexGrid::SetHighLight(int mode) {
  m_nHighLight = qBound(0, mode, 2);
  m_pTable->viewport()->update();
}

void CMSFlexGrid::SetMarkedRows(const QVector<int>& rows) {
  if (rows == m_markedRows) return;
  m_markedRows = rows;
  m_pTable->viewport()->update();
  m_pTable->verticalHeader()->viewport()->update();
}

QColor CMSFlexGrid::GetForeColorFixed() const { return m_pModel->ForeColorFixed(); }
void CMSFlexGrid::SetForeColorFixed(const QColor& color) {
  m_pModel->SetForeColorFixed(color);
  ApplyFixedColour();
}

QColor CMSFlexGrid::ShownForeColorFixed() const {
  return m_pTable->horizontalHeader()->palette().color(QPalette::ButtonText);
}

// The headers draw their texts in their own palette's button-text colour:
// one palette for every section, so the style draws each section from the
// pictures it keeps rather than making new ones for every paint.
void CMSFlexGrid::ApplyFixedColour() {
  const QColor fixed = m_pModel->ForeColorFixed();
  QHeaderView* top = m_pTable->horizontalHeader();
  auto rgb = [](const QColor& c) { return chanset::Rgb{c.red(), c.green(), c.blue()}; };
  const chanset::Rgb shown = chanset::ReadableColour(rgb(fixed), rgb(palette().color(QPalette::Button)),
                                                     rgb(palette().color(QPalette::Window)));
  const QColor colour(shown.r, shown.g, shown.b);
  for (QWidget* header : {static_cast<QWidget*>(top), static_cast<QWidget*>(m_pTable->verticalHeader()),
                          m_pCorner}) {
    if (!header) continue;
    QPalette p = header->palette();
    p.setColor(QPalette::ButtonText, colour);
    header->setPalette(p);
  }
}

void CMSFlexGrid::SetName(const QString& name) {
  setAccessibleName(name);
  m_pTable->setAccessibleName(name);
}

bool CMSFlexGrid::IsTypedKey(const QKeyEvent* event) {
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint() &&
         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// The cells only: the headers repaint themselves when their texts change.
void CMSFlexGrid::Refresh() { m_pTable->viewport()->repaint(); }

void CMSFlexGrid::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) ApplyFixedColour();
}

void CMSFlexGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_pTable->setGeometry(rect());
}

void CMSFlexGrid::PaintCorner(QWidget* corner) {
  QPainter painter(corner);
  QStyleOptionHeader opt;
  opt.initFrom(corner);
  opt.state = QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_Horizontal;
  opt.rect = corner->rect();
  opt.position = QStyleOptionHeader::OnlyOneSection;
  opt.text = m_pModel->Cell(0, 0);
  opt.textAlignment = CFlexGridModel::QtAlignment(m_pModel->ColAlignment(0));
  opt.palette = corner->palette();
  corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
}

bool CMSFlexGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return QWidget::eventFilter(watched, event);
  if (watched == m_pCorner && event->type() == QEvent::Paint) {
    PaintCorner(widget);
    return true;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(event);
      m_mousePos = widget->mapTo(this, me->position().toPoint());
      m_pTable->setFocus(Qt::MouseFocusReason);
      const int row = RowAt(m_mousePos.y());
      const int col = ColAt(m_mousePos.x());
      if (me->button() == Qt::LeftButton) {
        if (IsMovable(row, col)) {
          if (me->modifiers() & Qt::ShiftModifier) {
            m_nRowSel = row;
            m_nColSel = col;
            SelectRange();
          } else {
            MoveCurrent(row, col);
            m_bDragging = true;
          }
        } else if (row >= GetFixedRows() && col >= 0 && col < GetFixedCols()) {
          // A fixed column's cell selects its row from the first column on.
          MoveCurrent(row, GetFixedCols());
          m_nRowSel = row;
          m_nColSel = GetCols() - 1;
          SelectRange();
        } else if (col >= GetFixedCols() && row >= 0 && row < GetFixedRows()) {
          // A fixed row's cell selects its column from the first row on.
          MoveCurrent(GetFixedRows(), col);
          m_nRowSel = GetRows() - 1;
          m_nColSel = col;
          SelectRange();
        }
      }
      emit MouseDown(ButtonCode(me->button()), ShiftCode(me->modifiers()), m_mousePos.x(),
                     m_mousePos.y());
      return true;
    }
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      m_mousePos = widget->mapTo(this, me->position().toPoint());
      if (m_bDragging && (me->buttons() & Qt::LeftButton)) {
        const int row = RowAt(m_mousePos.y());
        const int col = ColAt(m_mousePos.x());
        if (IsMovable(row, col) && (row != m_nRowSel || col != m_nColSel)) {
          m_nRowSel = row;
          m_nColSel = col;
          SelectRange();
        }
      }
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      m_mousePos = widget->mapTo(this, me->position().toPoint());
      m_bDragging = false;
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}
