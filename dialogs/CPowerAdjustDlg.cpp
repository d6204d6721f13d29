#include "dialogs/CPowerAdjustDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "data/CChansetDoc.h"
#include "dialogs/PowerTable.h"
#include "data/RadioBands.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

using namespace chanset;

namespace {

// Widths of columns 0..3 as multiples of the grid's own width of column 0.
constexpr double kWidthFactors[] = {0.8, 1.1, 1.2, 1.1};

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* MakeGrid(const DialogControl& control, QWidget* parent) {
  if (control.kind != QLatin1String("grid")) return nullptr;
  return new CMSFlexGrid(parent);
}

}  // namespace

CPowerAdjustDlg::CPowerAdjustDlg(CCommandHost* host)
    : CSettingsDialog(host, ids::kPowerAdjustDialog, MakeGrid) {
  m_pGrid = m_dlg.Control<CMSFlexGrid>(IdGrid);
  m_pEditor = m_dlg.Control<QLineEdit>(IdEditor);
  if (!m_pGrid || !m_pEditor) return;
  m_nFirstColWidth = m_pGrid->GetColWidth(0);
  m_pEditor->hide();
  m_pEditor->installEventFilter(this);
  connect(m_pGrid, &CMSFlexGrid::MouseDown, this, &CPowerAdjustDlg::OnMouseDown);
  connect(m_pGrid, &CMSFlexGrid::EnterCell, this, &CPowerAdjustDlg::OnEnterCell);
  // A digit typed on the grid opens the editor with it, as Enter then
  // typing would.
  connect(m_pGrid, &CMSFlexGrid::KeyTyped, this, [this](QKeyEvent* event) {
    OpenEditor();
    if (m_pEditor->isHidden()) return;
    QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->text());
    QApplication::sendEvent(m_pEditor, &typed);
  });
  // Enter and Esc are taken before the grid or the dialog sees them.
  qApp->installEventFilter(this);
}

CPowerAdjustDlg::~CPowerAdjustDlg() { qApp->removeEventFilter(this); }

int CPowerAdjustDlg::DoModal() {
  if (!IsBuilt() || !m_pGrid || !m_pEditor || !ActiveDocument()) return -1;
  OnInitDialog();
  m_bShowing = true;
  const int result = exec();
  m_bShowing = false;
  return result;
}

void CPowerAdjustDlg::OnInitDialog() {
  const int rows = qBound(1, m_nRows, 1 + kPowerMaxRows);
  m_pEditor->hide();
  m_pGrid->SetRows(rows);
  m_pGrid->SetCols(m_nCols);
  m_pGrid->SetFixedRows(1);
  m_pGrid->SetFixedCols(1);

  m_pGrid->SetTextMatrix(0, 0, QString());
  for (int r = 1; r < rows; ++r) m_pGrid->SetTextMatrix(r, 0, Q(g_strPowerBand[r - 1]));
  const auto titles = PowerColumnTitles(g_bChinese);
  for (int k = 1; k <= kPowerColumns && k < m_nCols; ++k) m_pGrid->SetTextMatrix(0, k, Q(titles[k - 1]));

  // Widths from the grid's own first width, not from the last showing's.
  const int w = m_nFirstColWidth;
  for (int c = 0; c < m_nCols && c < 4; ++c) m_pGrid->SetColWidth(c, static_cast<int>(w * kWidthFactors[c]));
  FitRowHeights();
  for (int c = 0; c < m_nCols; ++c) m_pGrid->SetColAlignment(c, CMSFlexGrid::AlignCenterCenter);

  m_pEditor->setMaxLength(kPowerEditorChars);
  setWindowTitle(QString::fromUtf8(g_bChinese ? "功率调整" : "Power Adjustment"));
  m_pGrid->SetName(windowTitle());

  const Image& image = ActiveDocument()->Image();
  for (int r = 1; r < rows; ++r)
    for (int k = 1; k <= kPowerColumns && k < m_nCols; ++k) {
      const std::size_t at = PowerCellOffset(g_nPowerStart, r, k);
      if (at < image.size()) m_pGrid->SetTextMatrix(r, k, Q(PowerCellText(image[at])));
    }
  m_pGrid->SetRow(rows > 1 ? 1 : 0);
  m_pGrid->SetCol(1);
}

void CPowerAdjustDlg::FitRowHeights() {
  // Rows of the grid's natural height, lower when that is what it takes to
  // show every sub-range without scrolling.
  const int dpiY = m_pGrid->DpiY();
  const int natural = m_pGrid->fontMetrics().height() + 6;
  const int least = m_pGrid->fontMetrics().height() + 2;
  const int frame = TwipsToPixels(m_pGrid->GetRowPos(0), dpiY);
  const int rows = m_pGrid->GetRows();
  const int room = (m_pGrid->height() - 2 * frame) / qMax(1, rows);
  const int height = qBound(least, room, natural);
  for (int r = 0; r < rows; ++r) m_pGrid->SetRowHeight(r, PixelsToTwips(height, dpiY));
}

void CPowerAdjustDlg::OpenEditor() {
  const int row = m_pGrid->GetRow();
  const int col = m_pGrid->GetCol();
  if (row < 1 || col < 1) return;  // no data cell is current
  const int dpiX = m_pGrid->DpiX();
  const int dpiY = m_pGrid->DpiY();
  const int left = TwipsToPixels(m_pGrid->GetColPos(col), dpiX);
  const int top = TwipsToPixels(m_pGrid->GetRowPos(row), dpiY);
  const int width = TwipsToPixels(m_pGrid->GetColWidth(col), dpiX) + 1;
  const int height = TwipsToPixels(m_pGrid->GetRowHeight(row), dpiY) + 1;
  // From (left + 1, top + 1) to (left + width, top + height), inside the
  // grid's border.
  const QPoint origin = m_pGrid->geometry().topLeft() + QPoint(1, 1);
  m_pEditor->setGeometry(origin.x() + left + 1, origin.y() + top + 1, width - 1, height - 1);
  m_pEditor->setText(m_pGrid->GetText());
  m_pEditor->selectAll();
  m_pEditor->setAccessibleName(CLanguagePack::String(ids::kPowerEditorName)
                                   .arg(m_pGrid->GetTextMatrix(0, col), m_pGrid->GetTextMatrix(row, 0)));
  m_pEditor->raise();
  m_pEditor->show();
  m_pEditor->setFocus(Qt::OtherFocusReason);
}

void CPowerAdjustDlg::CommitEditor() {
  if (!m_pEditor->isVisible()) return;
  const QString text = Q(CommittedPowerText(m_pEditor->text().toStdString()));
  m_pGrid->SetText(text);
  m_pEditor->hide();
}

void CPowerAdjustDlg::StoreTable() {
  CChansetDoc* doc = ActiveDocument();
  if (!doc) return;
  const Image before = doc->State();
  Image& image = doc->Image();
  for (int r = 1; r < m_pGrid->GetRows(); ++r)
    for (int k = 1; k <= kPowerColumns && k < m_pGrid->GetCols(); ++k) {
      const std::size_t at = PowerCellOffset(g_nPowerStart, r, k);
      if (at < image.size()) image[at] = PowerByte(m_pGrid->GetTextMatrix(r, k).toStdString());
    }
  doc->RecordChange(EditKind::PowerAdjust, before);
}

void CPowerAdjustDlg::done(int result) {
  if (m_bShowing) {
    m_bShowing = false;
    // Text still in the editor is part of the table.
    CommitEditor();
    StoreTable();
  }
  CSettingsDialog::done(result);
}

void CPowerAdjustDlg::WantHighLight(int mode) {
  if (m_pGrid->GetHighLight() != mode) m_pGrid->SetHighLight(mode);
}

void CPowerAdjustDlg::OnMouseDown(short button, short, int, int) {
  if (button != 1) return;
  if (m_pGrid->GetMouseCol() != 0) {
    WantHighLight(CMSFlexGrid::HighLightNever);
    OpenEditor();
  } else {
    WantHighLight(CMSFlexGrid::HighLightWithFocus);
  }
}

void CPowerAdjustDlg::OnEnterCell() {
  WantHighLight(m_pGrid->GetMouseCol() == 0 ? CMSFlexGrid::HighLightWithFocus : CMSFlexGrid::HighLightNever);
}

void CPowerAdjustDlg::OnEnterKey(bool inEditor) {
  if (!inEditor) {
    OpenEditor();
    return;
  }
  m_pGrid->setFocus(Qt::OtherFocusReason);
  CommitEditor();
  // Then one row down, as the down arrow would move it.
  if (m_pGrid->GetRow() + 1 < m_pGrid->GetRows()) m_pGrid->SetRow(m_pGrid->GetRow() + 1);
}

bool CPowerAdjustDlg::Owns(const QObject* object) const {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget && (widget == this || isAncestorOf(widget));
}

bool CPowerAdjustDlg::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == m_pEditor && type == QEvent::FocusOut) {
    // Leaving the editor commits it; switching windows does not.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) CommitEditor();
    return CSettingsDialog::eventFilter(watched, event);
  }
  if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !isVisible() || !Owns(watched))
    return CSettingsDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!enter && key != Qt::Key_Escape) return CSettingsDialog::eventFilter(watched, event);
  if (type == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  const bool inEditor = m_pEditor->isVisible() && m_pEditor->hasFocus();
  if (enter) {
    OnEnterKey(inEditor);
  } else {
    // Esc only leaves the editor; it never closes the dialog.
    m_pGrid->setFocus(Qt::OtherFocusReason);
    CommitEditor();
  }
  return true;
}
