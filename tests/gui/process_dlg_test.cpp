// The progress dialog on its own: the states of its window and what OK and
// Cancel (button, Escape, close box) do in each.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "link/CProcessDlg.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"

namespace {
// Stands in for the view: counts the start messages posted to it.
class Owner : public QWidget {
 public:
  int starts = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == WM_START_TRANSFER) {
      ++starts;
      return true;
    }
    return QWidget::event(e);
  }
};

enum class CancelBy { Button, Escape, CloseBox };

void Cancel(CProcessDlg& dlg, CancelBy how) {
  switch (how) {
    case CancelBy::Button: dlg.CancelButton()->click(); break;
    case CancelBy::Escape: QTest::keyClick(&dlg, Qt::Key_Escape); break;
    case CancelBy::CloseBox: dlg.close(); break;
  }
}
}  // namespace

Q_DECLARE_METATYPE(CancelBy)

class ProcessDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    chanset::SetApplicationDirectory(CHANSET_APP_DIR);
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
  }

  void opensIdleAtZero() {
    Owner owner;
    CProcessDlg dlg(&owner);
    dlg.m_strCaption = QStringLiteral("Read Data");
    QVERIFY(dlg.ShowWindow());
    QVERIFY(dlg.HasWindow() && dlg.isVisible() && !dlg.IsBusy());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Read Data"));
    QCOMPARE(dlg.ProgressBar()->minimum(), 0);
    QCOMPARE(dlg.ProgressBar()->maximum(), 62);
    QCOMPARE(dlg.ProgressBar()->value(), 0);
    QCOMPARE(dlg.Counter()->text(), QStringLiteral("0"));
    QVERIFY(dlg.OkButton()->isEnabled());
    QCOMPARE(dlg.m_bCancel.load(), 0);
  }

  void okStartsOnceAndStaysDisabled() {
    Owner owner;
    CProcessDlg dlg(&owner);
    dlg.ShowWindow();
    dlg.OkButton()->click();
    dlg.OkButton()->click();
    QTest::keyClick(&dlg, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(owner.starts, 1);
    QVERIFY(!dlg.OkButton()->isEnabled());
    QVERIFY(dlg.IsBusy());
    // Showing again while the window is up changes nothing.
    dlg.ShowWindow();
    QVERIFY(!dlg.OkButton()->isEnabled());
  }

  void counterFollowsTheRows() {
    Owner owner;
    CProcessDlg dlg(&owner);
    dlg.ShowWindow();
    for (int rows = 1; rows <= 62; ++rows) dlg.SetProgress(rows);
    QCOMPARE(dlg.Counter()->text(), QStringLiteral("62"));
    QCOMPARE(dlg.ProgressBar()->value(), 62);
    // A new window starts from zero again.
    dlg.DestroyWindow();
    dlg.ShowWindow();
    QCOMPARE(dlg.Counter()->text(), QStringLiteral("0"));
    QCOMPARE(dlg.ProgressBar()->value(), 0);
    QVERIFY(dlg.OkButton()->isEnabled());
  }

  void cancel_data() {
    QTest::addColumn<CancelBy>("how");
    QTest::newRow("button") << CancelBy::Button;
    QTest::newRow("escape") << CancelBy::Escape;
    QTest::newRow("close box") << CancelBy::CloseBox;
  }

  void cancel() {
    QFETCH(CancelBy, how);
    Owner owner;
    CProcessDlg dlg(&owner);

    // Idle: the window goes at once and nothing starts.
    dlg.ShowWindow();
    Cancel(dlg, how);
    QCoreApplication::processEvents();
    QVERIFY(!dlg.HasWindow());
    QVERIFY(!dlg.isVisible());
    QCOMPARE(owner.starts, 0);

    // Busy: the window stays and the flag is raised for the transfer.
    dlg.ShowWindow();
    QCOMPARE(dlg.m_bCancel.load(), 0);
    dlg.OkButton()->click();
    Cancel(dlg, how);
    QCoreApplication::processEvents();
    QVERIFY(dlg.HasWindow());
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.m_bCancel.load(), 1);
  }

  void idleCaptionFollowsTheChoice() {
    Owner owner;
    CProcessDlg dlg(&owner);
    dlg.SetCaption(QStringLiteral("Read Data"));
    dlg.ShowWindow();
    dlg.SetCaption(QStringLiteral("Write Data"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Write Data"));
  }
};

QTEST_MAIN(ProcessDlgTest)
#include "process_dlg_test.moc"
