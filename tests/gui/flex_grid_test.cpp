// The grid control: indexing with the fixed row and column, current-cell
// events and their order, twips geometry that agrees with what is drawn and
// hit, HighLight and the fixed-cell colour.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"

using chanset::TwipsToPixels;

namespace {

// Records the grid events together with the current cell each one sees.
struct EventLog {
  QStringList entries;
  void Attach(CMSFlexGrid* grid) {
    QObject::connect(grid, &CMSFlexGrid::LeaveCell, grid, [this, grid] {
      entries << QStringLiteral("leave %1,%2").arg(grid->GetRow()).arg(grid->GetCol());
    });
    QObject::connect(grid, &CMSFlexGrid::EnterCell, grid, [this, grid] {
      entries << QStringLiteral("enter %1,%2").arg(grid->GetRow()).arg(grid->GetCol());
    });
    QObject::connect(grid, &CMSFlexGrid::MouseDown, grid,
                     [this](short button, short shift, int, int) {
                       entries << QStringLiteral("down %1 %2").arg(button).arg(shift);
                     });
  }
};

// Pixel point inside the current cell, from the twips the grid reports.
QPoint CurrentCellPixel(const CMSFlexGrid& grid, int dx = 4, int dy = 3) {
  return {TwipsToPixels(grid.GetCellLeft(), grid.DpiX()) + dx,
          TwipsToPixels(grid.GetCellTop(), grid.DpiY()) + dy};
}

// The widget under a point of the grid, with the point in its coordinates.
QWidget* TargetAt(CMSFlexGrid& grid, QPoint& pos) {
  QWidget* w = grid.childAt(pos);
  if (!w) return &grid;
  pos = w->mapFrom(&grid, pos);
  return w;
}

void ClickGrid(CMSFlexGrid& grid, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* target = TargetAt(grid, pos);
  QTest::mouseClick(target, button, mods, pos);
}

}  // namespace

class FlexGridTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CMSFlexGrid> m_grid;

  void MakeGrid(int rows, int cols, QSize size = QSize(600, 400)) {
    m_grid = std::make_unique<CMSFlexGrid>();
    m_grid->resize(size);
    m_grid->SetRows(rows);
    m_grid->SetCols(cols);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
  }

 private slots:
  void cleanup() { m_grid.reset(); }

  void textsIncludeFixedCells() {
    MakeGrid(17, 9);
    for (int r = 0; r < 17; ++r)
      for (int c = 0; c < 9; ++c) m_grid->SetTextMatrix(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
    QCOMPARE(m_grid->GetTextMatrix(0, 0), QStringLiteral("0/0"));
    QCOMPARE(m_grid->GetTextMatrix(16, 8), QStringLiteral("16/8"));
    QCOMPARE(m_grid->GetTextMatrix(17, 0), QString());  // outside
    // The fixed row and column are the table's headers, the rest its items.
    auto* table = m_grid->findChild<QTableView*>();
    QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("0/3"));
    QCOMPARE(table->model()->index(4, 2).data().toString(), QStringLiteral("5/3"));
    m_grid->SetRow(3);
    m_grid->SetCol(7);
    m_grid->SetText(QStringLiteral("new"));
    QCOMPARE(m_grid->GetTextMatrix(3, 7), QStringLiteral("new"));
  }

  void reshapeKeepsTextsAndClampsCurrentSilently() {
    MakeGrid(17, 9);
    m_grid->SetTextMatrix(2, 3, QStringLiteral("kept"));
    m_grid->SetTextMatrix(16, 8, QStringLiteral("dropped"));
    m_grid->SetRow(16);
    m_grid->SetCol(8);
    EventLog log;
    log.Attach(m_grid.get());
    m_grid->SetRows(5);
    m_grid->SetCols(4);
    QCOMPARE(m_grid->GetRow(), 4);
    QCOMPARE(m_grid->GetCol(), 3);
    QCOMPARE(m_grid->GetTextMatrix(2, 3), QStringLiteral("kept"));
    m_grid->SetRows(17);
    m_grid->SetCols(9);
    QCOMPARE(m_grid->GetTextMatrix(16, 8), QString());
    QVERIFY(log.entries.isEmpty());
  }

  void fixedCellsNeverBecomeCurrent() {
    MakeGrid(5, 4);
    m_grid->SetRow(2);
    m_grid->SetCol(2);
    EventLog log;
    log.Attach(m_grid.get());
    m_grid->SetRow(0);
    m_grid->SetCol(0);
    m_grid->SetRow(5);
    QCOMPARE(m_grid->GetRow(), 2);
    QCOMPARE(m_grid->GetCol(), 2);
    QVERIFY(log.entries.isEmpty());
    // A click on a fixed cell never makes it current: a fixed row's cell
    // selects its column from the first row, a fixed column's cell its row.
    QPoint header(TwipsToPixels(m_grid->GetColPos(3), m_grid->DpiX()) + 5,
                  TwipsToPixels(m_grid->GetRowPos(0), m_grid->DpiY()) + 4);
    ClickGrid(*m_grid, header);
    QCOMPARE(log.entries, (QStringList{"leave 2,2", "enter 1,3", "down 1 0"}));
    QCOMPARE(m_grid->GetMouseRow(), 0);
    QCOMPARE(m_grid->GetMouseCol(), 3);
    QCOMPARE(m_grid->GetRow(), 1);
    QCOMPARE(m_grid->GetCol(), 3);
    QCOMPARE(m_grid->GetRowSel(), 4);
    QCOMPARE(m_grid->GetColSel(), 3);
    QPoint rowHeader(TwipsToPixels(m_grid->GetColPos(0), m_grid->DpiX()) + 3,
                     TwipsToPixels(m_grid->GetRowPos(3), m_grid->DpiY()) + 4);
    ClickGrid(*m_grid, rowHeader);
    QCOMPARE(m_grid->GetRow(), 3);
    QCOMPARE(m_grid->GetCol(), 1);
    QCOMPARE(m_grid->GetRowSel(), 3);
    QCOMPARE(m_grid->GetColSel(), 3);
    QCOMPARE(m_grid->GetMouseCol(), 0);
    // The corner selects nothing.
    log.entries.clear();
    ClickGrid(*m_grid, QPoint(3, 3));
    QCOMPARE(log.entries, QStringList{"down 1 0"});
    QCOMPARE(m_grid->GetRow(), 3);
    // Up from the first row and left from the first column stay inside.
    m_grid->SetRow(1);
    m_grid->SetCol(2);
    m_grid->setFocus();
    log.entries.clear();
    QTest::keyClick(m_grid->findChild<QTableView*>(), Qt::Key_Up);
    QTest::keyClick(m_grid->findChild<QTableView*>(), Qt::Key_Left);
    QCOMPARE(m_grid->GetRow(), 1);
    QCOMPARE(m_grid->GetCol(), 1);
    QCOMPARE(log.entries, (QStringList{QStringLiteral("leave 1,2"), QStringLiteral("enter 1,1")}));
  }

  void leaveFiresBeforeTheMoveAndEnterAfter_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("SetRow") << "setrow"
                            << QStringList{"leave 2,2", "enter 4,2"};
    QTest::newRow("SetCol") << "setcol"
                            << QStringList{"leave 2,2", "enter 2,5"};
    QTest::newRow("arrow key") << "key"
                               << QStringList{"leave 2,2", "enter 3,2"};
    QTest::newRow("left click") << "click"
                                << QStringList{"leave 2,2", "enter 4,2", "down 1 0"};
    QTest::newRow("right click with Ctrl") << "rightclick"
                                           << QStringList{"down 2 2"};
  }

  void leaveFiresBeforeTheMoveAndEnterAfter() {
    QFETCH(QString, how);
    QFETCH(QStringList, expected);
    MakeGrid(8, 6);
    m_grid->SetRow(2);
    m_grid->SetCol(2);
    EventLog log;
    log.Attach(m_grid.get());
    auto* table = m_grid->findChild<QTableView*>();
    const QPoint row4(TwipsToPixels(m_grid->GetColPos(2), m_grid->DpiX()) + 5,
                      TwipsToPixels(m_grid->GetRowPos(4), m_grid->DpiY()) + 4);
    if (how == "setrow") m_grid->SetRow(4);
    if (how == "setcol") m_grid->SetCol(5);
    if (how == "key") {
      table->setFocus();
      QTest::keyClick(table, Qt::Key_Down);
    }
    if (how == "click") ClickGrid(*m_grid, row4);
    if (how == "rightclick") ClickGrid(*m_grid, row4, Qt::RightButton, Qt::ControlModifier);
    QCOMPARE(log.entries, expected);
  }

  void cellGeometryMatchesWhatIsHit() {
    MakeGrid(17, 9, QSize(700, 450));
    m_grid->SetColWidth(0, 600);
    for (int c = 1; c < 9; ++c) m_grid->SetColWidth(c, 900 + 90 * c);
    for (int r = 1; r < 17; ++r) {
      for (int c = 1; c < 9; c += 3) {
        m_grid->SetRow(r);
        m_grid->SetCol(c);
        // Just inside the top-left and the bottom-right corner of the cell.
        const int w = TwipsToPixels(m_grid->GetCellWidth(), m_grid->DpiX());
        const int h = TwipsToPixels(m_grid->GetCellHeight(), m_grid->DpiY());
        for (QPoint p : {CurrentCellPixel(*m_grid, 1, 1), CurrentCellPixel(*m_grid, w - 2, h - 2)}) {
          ClickGrid(*m_grid, p, Qt::RightButton);
          QCOMPARE(m_grid->GetMouseRow(), r);
          QCOMPARE(m_grid->GetMouseCol(), c);
        }
      }
    }
    // Column widths read back as written (to the pixel).
    QCOMPARE(TwipsToPixels(m_grid->GetColWidth(4), m_grid->DpiX()),
             TwipsToPixels(900 + 360, m_grid->DpiX()));
    // Columns sit side by side: each starts where the previous one ends.
    for (int c = 1; c < 9; ++c)
      QCOMPARE(TwipsToPixels(m_grid->GetColPos(c), m_grid->DpiX()),
               TwipsToPixels(m_grid->GetColPos(c - 1), m_grid->DpiX()) +
                   TwipsToPixels(m_grid->GetColWidth(c - 1), m_grid->DpiX()));
  }

  void fixedRowStaysWhenTheTableScrolls() {
    MakeGrid(60, 4, QSize(300, 200));
    const int headerTop = m_grid->GetRowPos(0);
    const int row1Top = m_grid->GetRowPos(1);
    m_grid->SetTextMatrix(0, 1, QStringLiteral("Title"));
    m_grid->SetRow(55);
    QTRY_VERIFY(m_grid->GetRowPos(1) < row1Top);
    QCOMPARE(m_grid->GetRowPos(0), headerTop);
    // The current row has been scrolled into view and can be hit there.
    const QPoint p = CurrentCellPixel(*m_grid);
    QVERIFY(p.y() < m_grid->height());
    ClickGrid(*m_grid, p, Qt::RightButton);
    QCOMPARE(m_grid->GetMouseRow(), 55);
  }

  void highLightFollowsMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("highlighted");
    QTest::newRow("never, focused") << 0 << true << false;
    QTest::newRow("always, unfocused") << 1 << false << true;
    QTest::newRow("with focus, focused") << 2 << true << true;
    QTest::newRow("with focus, unfocused") << 2 << false << false;
  }

  // A row selected through its fixed cell is highlighted as the mode says;
  // a single current cell never is.
  void highLightFollowsMode() {
    QFETCH(int, mode);
    QFETCH(bool, focused);
    QFETCH(bool, highlighted);
    MakeGrid(5, 4);
    QWidget other;
    QLineEdit* elsewhere = new QLineEdit(&other);
    other.show();
    m_grid->SetHighLight(mode);
    QCOMPARE(m_grid->GetHighLight(), mode);
    ClickGrid(*m_grid, QPoint(TwipsToPixels(m_grid->GetColPos(0), m_grid->DpiX()) + 3,
                              TwipsToPixels(m_grid->GetRowPos(2), m_grid->DpiY()) + 4));
    QCOMPARE(m_grid->GetRow(), 2);
    QCOMPARE(m_grid->GetColSel(), 3);
    auto* table = m_grid->findChild<QTableView*>();
    QWidget* focusTarget = focused ? static_cast<QWidget*>(m_grid.get()) : static_cast<QWidget*>(elsewhere);
    focusTarget->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(focusTarget->window()));
    focusTarget->setFocus();
    QTRY_COMPARE(table->hasFocus(), focused);
    const QImage image = m_grid->grab().toImage();
    // The highlight is a strong colour; the focus frame of the current cell
    // only tints it.
    auto isHighlighted = [&](int col) {
      const QPoint p(TwipsToPixels(m_grid->GetColPos(col), m_grid->DpiX()) + 20,
                     TwipsToPixels(m_grid->GetRowPos(2), m_grid->DpiY()) + 8);
      return image.pixelColor(p).lightness() < 160;
    };
    QCOMPARE(isHighlighted(3), highlighted);
    QCOMPARE(isHighlighted(2), highlighted);
    // Moving the current cell ends the range: nothing is highlighted.
    m_grid->SetRow(3);
    const QImage after = m_grid->grab().toImage();
    for (int col = 1; col < 4; ++col) {
      const QPoint p(TwipsToPixels(m_grid->GetColPos(col), m_grid->DpiX()) + 20,
                     TwipsToPixels(m_grid->GetRowPos(3), m_grid->DpiY()) + 8);
      QVERIFY(after.pixelColor(p).lightness() >= 160);
    }
  }

  void fixedTextColour() {
    MakeGrid(3, 3);
    m_grid->SetForeColorFixed(QColor(0, 50, 240));
    QCOMPARE(m_grid->GetForeColorFixed(), QColor(0, 50, 240));
    m_grid->SetColWidth(1, 3000);
    m_grid->SetTextMatrix(0, 1, QStringLiteral("WWWWWW"));
    m_grid->SetTextMatrix(0, 0, QStringLiteral("MMMM"));
    m_grid->SetTextMatrix(1, 1, QStringLiteral("WWWWWW"));
    const QImage image = m_grid->grab().toImage();
    auto bluish = [&](int row, int col) {
      const int x0 = TwipsToPixels(m_grid->GetColPos(col), m_grid->DpiX());
      const int y0 = TwipsToPixels(m_grid->GetRowPos(row), m_grid->DpiY());
      const int w = TwipsToPixels(m_grid->GetColWidth(col), m_grid->DpiX());
      const int h = TwipsToPixels(m_grid->GetRowHeight(row), m_grid->DpiY());
      int count = 0;
      for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
          const QColor c = image.pixelColor(x, y);
          if (c.blue() > 150 && c.red() < 90 && c.green() < 120) ++count;
        }
      return count;
    };
    QVERIFY(bluish(0, 1) > 5);   // header cell
    QVERIFY(bluish(0, 0) > 5);   // corner cell
    QCOMPARE(bluish(1, 1), 0);   // ordinary cell, not current
  }
};

QTEST_MAIN(FlexGridTest)
#include "flex_grid_test.moc"
