// The navigation bar in the main window: its layout, close button,
// Control Bar command and the width drag.
#include <QMenu>
#include <QToolTip>
#include <QTreeWidget>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "app/CNavigatorBar.h"
#include "app/CWorkspaceClient.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

class NavigatorBarTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;
  CNavigatorBar* bar = nullptr;

  void Start() {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(QString::fromUtf8(kDefaultIni));
    fx->CopyPack(QStringLiteral("English"));
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    frame->showNormal();
    frame->resize(1000, 700);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    bar = frame->NavigatorBar();
    QVERIFY(bar);
    // The close button and the strip exist from the first paint on.
    QTRY_VERIFY(!bar->CloseRect().isEmpty());
  }

  QPoint StripPoint() const { return QPoint(bar->width() - 3, 200); }

  void Drag(const QPoint& from, const QPoint& to) {
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(bar, to);
  }

 private slots:
  void cleanup() {
    app.reset();
    fx.reset();
    frame = nullptr;
    bar = nullptr;
  }

  void layoutAtStart() {
    Start();
    QCOMPARE(bar->width(), 220);
    QCOMPARE(bar->BarWidth(), 220);
    QCOMPARE(bar->x(), 0);
    QCOMPARE(bar->Caption(), QStringLiteral("Kestrel Ridge Radio"));
    QCOMPARE(bar->windowTitle(), QStringLiteral("IE Control Bar"));
    QTreeWidget* tree = bar->Tree();
    QCOMPARE(tree, frame->Tree());
    QCOMPARE(tree->objectName(), QStringLiteral("tree1031"));
    QCOMPARE(tree->geometry().topLeft(), QPoint(5, 31));
    QCOMPARE(tree->geometry().right() + 1, 220 - 8);
    // The frame and the tree stay inside the bar's visible part.
    QVERIFY(bar->FrameRect().bottom() < bar->height());
    QVERIFY(tree->geometry().bottom() < bar->FrameRect().bottom());
    QCOMPARE(bar->CloseRect(), QRect(194, 11, 16, 15));
    QCOMPARE(bar->ResizeStripRect(), QRect(214, 7, 6, bar->FrameRect().height()));
  }

  void closeButtonHidesAndControlBarShows() {
    Start();
    QVERIFY(frame->IsCommandChecked(ids::kControlBar));
    QPoint close = bar->CloseRect().center();
    QTest::mouseMove(bar, close);
    QTRY_VERIFY(bar->MouseState().CloseHot());
    QTest::mousePress(bar, Qt::LeftButton, {}, close);
    QVERIFY(bar->MouseState().ClosePressed());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, close);
    QVERIFY(bar->isHidden());
    QVERIFY(!frame->IsCommandChecked(ids::kControlBar));
    QAction* item = frame->DocMenuPopup(3)->actions().last();
    emit frame->DocMenuPopup(3)->aboutToShow();
    QVERIFY(!item->isChecked());
    frame->OnCommand(ids::kControlBar);
    QVERIFY(bar->isVisible());
    QVERIFY(item->isChecked());
    QCOMPARE(bar->width(), 220);
  }

  void tooltipOverTheCloseButton() {
    Start();
    QPoint close = bar->CloseRect().center();
    QHelpEvent over(QEvent::ToolTip, close, bar->mapToGlobal(close));
    QApplication::sendEvent(bar, &over);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Close"));
    QHelpEvent away(QEvent::ToolTip, QPoint(100, 300), bar->mapToGlobal(QPoint(100, 300)));
    QApplication::sendEvent(bar, &away);
    QTRY_VERIFY(!QToolTip::isVisible());
  }

  void resizeCursorOnlyOverTheStrip() {
    Start();
    QTest::mouseMove(bar, StripPoint());
    QTRY_COMPARE(bar->cursor().shape(), CLanguagePack::Cursor(ids::kResizeCursor).shape());
    QTest::mouseMove(bar, QPoint(100, 15));
    QTRY_COMPARE(bar->cursor().shape(), Qt::ArrowCursor);
  }

  void widthDrag_data() {
    QTest::addColumn<int>("toX");
    QTest::addColumn<int>("trackerX");
    QTest::addColumn<int>("width");
    QTest::newRow("to 40") << 40 << 80 << 40;
    QTest::newRow("beyond half") << 700 << 500 << 500;
  }
  void widthDrag() {
    QFETCH(int, toX);
    QFETCH(int, trackerX);
    QFETCH(int, width);
    Start();
    QCOMPARE(frame->width(), 1000);
    Drag(StripPoint(), QPoint(toX, 200));
    QWidget* tracker = bar->TrackerLine();
    QVERIFY(tracker);
    QCOMPARE(tracker->x(), bar->mapTo(bar->window(), QPoint(trackerX, 0)).x());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(toX, 200));
    QVERIFY(!bar->TrackerLine());
    QCOMPARE(bar->BarWidth(), width);
    QTRY_COMPARE(bar->width(), width);
    QVERIFY(bar->isVisible());
    // The workspace takes the rest of the row.
    QTRY_COMPARE(frame->Workspace()->x(), width);
    // Only the bar's width changes, not the window's size.
    QCOMPARE(frame->size(), QSize(1000, 700));
    QVERIFY(frame->minimumSizeHint().height() < frame->height());
  }
};

QTEST_MAIN(NavigatorBarTest)
#include "navigator_bar_test.moc"
