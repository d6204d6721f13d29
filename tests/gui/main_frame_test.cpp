#include <QtTest>

#include "app/CMainFrame.h"

class MainFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithTitle() {
    CMainFrame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Chanset"));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
