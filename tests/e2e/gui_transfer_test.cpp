// Read and Write from the real main window against chanset-radio-sim on a
// pseudo-terminal: the Program commands, the progress dialog, the worker
// thread, the messages and what the document holds after every ending.
// With CHANSET_SCREENSHOT_DIR set (and a real display), pictures of the
// screen during a read and after one are saved there.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScreen>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QStatusBar>
#include <QtTest>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "link/CPortSettingDlg.h"
#include "link/CProcessDlg.h"
#include "link/CTransferController.h"
#include "link/SerialPort.h"
#include "platform/AppDir.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "tests/e2e/GuiRadio.h"
#include "tests/e2e/SameRows.h"
#include "tests/gui/PtyPair.h"
#include "tools/radio_sim/SampleImage.h"

using namespace chanset;

namespace {
const QString kAppDir = QStringLiteral(CHANSET_APP_DIR);

// What the radio holds: valid sample channels, and random bytes in every
// part of rows 0..61 the program only carries.
Image RadioImage(unsigned seed) {
  Image image = radiosim::SampleImage();
  std::mt19937 gen(seed);
  auto fill = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) image[i] = static_cast<std::uint8_t>(gen());
  };
  fill(0x000, 0x010);
  fill(0x1C0, 0x32E);
  fill(0x340, 0x390);
  fill(0x3A0, 0x3E0);
  return image;
}

const QVector<int> kLockedCommands = {ids::kRead,      ids::kWrite,   ids::kFileNew, ids::kFileOpen,
                                      ids::kFileClose, ids::kAppExit, ids::kLanguage};
}  // namespace

class GuiTransferTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  CChansetApp* m_app = nullptr;
  CMainFrame* m_frame = nullptr;
  CChansetView* m_view = nullptr;
  CChansetDoc* m_doc = nullptr;
  CTransferController* m_ctl = nullptr;
  QProcess* m_sim = nullptr;
  QProcess* m_holder = nullptr;
  QList<CMessageBox::Request> m_boxes;
  QList<int> m_answers;  // answers to the next boxes, in order

  // Starts the simulated radio with `args` and makes it COM1.
  bool StartRadio(const QStringList& args, bool fast = true) { return guiradio::StartRadio(this, m_sim, args, fast); }

  QString Path(const QString& name) const { return m_dir.filePath(name); }

  void Snapshot(const QString& name) { guiradio::Snapshot(name); }

  CProcessDlg* Dialog() const { return m_ctl->ProcessDlg(); }

  // The Program command `command`, then OK; returns how the transfer ended.
  TransferResult Run(int command) { return guiradio::Run(m_frame, m_ctl, command); }

  // Everything a transfer that went wrong must leave as it found it.
  void ExpectNothingLost(const Image& before) {
    QVERIFY(m_doc->Image() == before);
    QVERIFY(!m_doc->IsModified());
    QVERIFY(g_bFreshDocument);
    QVERIFY(m_view->isEnabled());
    QVERIFY(!Dialog()->HasWindow() && !Dialog()->isVisible());
    for (int id : {ids::kRead, ids::kWrite, ids::kFileNew, ids::kFileOpen, ids::kFileClose, ids::kAppExit})
      QVERIFY2(m_frame->IsCommandEnabled(id), qPrintable(QString::number(id)));
  }

  QList<int> ShownIds() const {
    QList<int> shown;
    for (const CMessageBox::Request& r : m_boxes)
      for (int id : {ids::kCommError, ids::kPortOpenFailed, ids::kProgramInterrupt})
        if (r.text.startsWith(CLanguagePack::String(id))) shown << id;
    return shown;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", Path(QStringLiteral("config")).toUtf8());
    // A private application directory: the settings file is saved at exit.
    QDir().mkpath(Path(QStringLiteral("app")));
    QVERIFY(QFile::copy(kAppDir + "/Chanset.ini", Path("app/Chanset.ini")));
    QVERIFY(QFile::link(kAppDir + "/English.rcc", Path("app/English.rcc")));
    SetApplicationDirectory(Path(QStringLiteral("app")).toStdString() + "/");
    qRegisterMetaType<TransferResult>();
    CMessageBox::SetResponder([this](const CMessageBox::Request& r) {
      m_boxes << r;
      if (!m_answers.isEmpty()) return m_answers.takeFirst();
      return r.buttons == CMessageBox::RetryCancel ? int(CMessageBox::IdCancel) : int(CMessageBox::IdOk);
    });
  }

  void init() {
    m_boxes.clear();
    m_answers.clear();
    m_app = new CChansetApp;
    QCOMPARE(m_app->InitInstance({}), CChansetApp::StartResult::Ok);
    m_frame = m_app->MainFrame();
    m_view = m_frame->ActiveView();
    m_doc = m_frame->ActiveDocument();
    QVERIFY(m_view && m_doc);
    m_ctl = CTransferController::For(m_view);
    // Rows 62 and 63 never travel: a marker shows they stay as they were.
    for (std::size_t i = 992; i < kImageSize; ++i) m_doc->Image()[i] = static_cast<std::uint8_t>(i * 7);
    QVERIFY(g_bFreshDocument);
  }

  void cleanup() {
    delete m_app;
    m_app = nullptr;
    for (QProcess** p : {&m_sim, &m_holder}) {
      if (!*p) continue;
      (*p)->terminate();
      (*p)->waitForFinished(5000);
      delete *p;
      *p = nullptr;
    }
  }

  void cleanupTestCase() { CMessageBox::SetResponder({}); }

  void readFillsTheDocument() {
    Image radio = RadioImage(1);
    QCOMPARE(StoreDatFile(Path("radio.dat").toStdString(), radio), DatError::None);
    QVERIFY(StartRadio({"--image", Path("radio.dat")}));
    Image before = m_doc->Image();
    const Image stateBefore = m_doc->State();
    // A hidden channel window is shown again at the end.
    m_frame->ActiveChildFrame()->close();
    QVERIFY(m_frame->ActiveChildFrame()->isHidden());

    TransferResult result = Run(ids::kRead);
    QVERIFY(result.ok());
    QVERIFY(result.direction == TransferDirection::Read);
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(SameRows(m_doc->Image(), radio, 0, 61));
    QVERIFY(SameRows(m_doc->Image(), before, 62, 63));
    QVERIFY(m_doc->IsModified());
    QVERIFY(!g_bFreshDocument);
    QCOMPARE(m_view->Grid()->GetTextMatrix(1, 1), QStringLiteral("446.00625"));
    QCOMPARE(m_view->Grid()->GetTextMatrix(5, 3), QStringLiteral("D411I"));
    QVERIFY(!m_frame->ActiveChildFrame()->isHidden());
    // The keyboard is on the grid's cell again, not where disabling the
    // view sent it.
    QTRY_VERIFY(m_view->isAncestorOf(QApplication::focusWidget()));
    Snapshot(QStringLiteral("grid-after-read"));
    QVERIFY(!Dialog()->HasWindow());
    QCOMPARE(Dialog()->Counter()->text(), QStringLiteral("62"));
    QVERIFY(m_view->isEnabled());

    // The read is one step: undone, the document is what it was before.
    QCOMPARE(m_doc->History().Size(), std::size_t(1));
    QVERIFY(m_doc->History().UndoKind() == EditKind::Read);
    const Image afterRead = m_doc->State();
    QVERIFY(m_doc->Undo());
    QVERIFY(m_doc->State() == stateBefore);
    QCOMPARE(m_view->Grid()->GetTextMatrix(5, 3), QString::fromStdString(DecodeChannel(stateBefore, 5, false)[2]));
    QVERIFY(m_doc->Redo());
    QVERIFY(m_doc->State() == afterRead);
  }

  void writeSendsTheGrid() {
    Image image = RadioImage(2);
    std::copy(image.begin(), image.begin() + 992, m_doc->Image().begin());
    m_view->RefreshFromImage();
    QVERIFY(StartRadio({"--save", Path("written.dat")}));

    // Write chosen while the Read dialog is idle: the caption follows.
    m_frame->OnCommand(ids::kRead);
    QCOMPARE(Dialog()->windowTitle(), QStringLiteral("Read Data"));
    TransferResult result = Run(ids::kWrite);
    QCOMPARE(Dialog()->windowTitle(), QStringLiteral("Write Data"));
    QVERIFY(result.ok());
    QVERIFY(result.direction == TransferDirection::Write);
    QVERIFY(m_boxes.isEmpty());

    // The radio holds exactly the image the grid was encoded into.
    Image written{};
    QTRY_VERIFY(LoadDatFile(Path("written.dat").toStdString(), written) == DatError::None);
    QVERIFY(SameRows(written, m_doc->Image(), 0, 61));
    QVERIFY(SameRows(written, image, 0x1C, 0x31));  // carried bytes among them
    QVERIFY(!SameRows(written, m_doc->Image(), 62, 63));  // the radio never gets the power rows
    QVERIFY(g_bFreshDocument);
  }

  void writeTakesAnEditStillBeingTyped() {
    QVERIFY(StartRadio({"--save", Path("typed.dat")}));
    // Channel 6's receive frequency typed into its editor, the cell not left.
    CMSFlexGrid* grid = m_view->Grid();
    QPoint p(TwipsToPixels(grid->GetColPos(1), grid->DpiX()) + 6, TwipsToPixels(grid->GetRowPos(6), grid->DpiY()) + 5);
    QWidget* cell = grid->childAt(p);
    QVERIFY(cell);
    QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, cell->mapFrom(grid, p));
    auto* edit = qobject_cast<QLineEdit*>(m_view->EditorOfColumn(1));
    QVERIFY(edit && edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("446.1"));
    TransferResult result = Run(ids::kWrite);
    QVERIFY(result.ok());
    Image written{};
    QTRY_VERIFY(LoadDatFile(Path("typed.dat").toStdString(), written) == DatError::None);
    // 446.10000 MHz = 44610000 x 10 Hz, packed BCD with the low pair first.
    const std::uint8_t bcd[4] = {0x00, 0x00, 0x61, 0x44};
    QVERIFY(std::equal(bcd, bcd + 4, written.begin() + off::channel(6) + off::kRxFreq));
    QCOMPARE(grid->GetTextMatrix(6, 1), QStringLiteral("446.10000"));
  }

  void retryAfterASilentSecondStage() {
    Image radio = RadioImage(3);
    QCOMPARE(StoreDatFile(Path("radio3.dat").toStdString(), radio), DatError::None);
    QVERIFY(StartRadio({"--image", Path("radio3.dat"), "--fault", "no-ack-stage2"}));
    m_answers = {CMessageBox::IdRetry};
    TransferResult result = Run(ids::kRead);
    QVERIFY(result.ok());
    QCOMPARE(ShownIds(), QList<int>{ids::kCommError});
    QCOMPARE(m_boxes[0].buttons, CMessageBox::RetryCancel);
    QCOMPARE(m_boxes[0].icon, CMessageBox::NoIcon);
    QVERIFY(SameRows(m_doc->Image(), radio, 0, 61));
  }

  void faultsLoseNothing_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("end");
    QTest::addColumn<QList<int>>("messages");
    QTest::addColumn<QString>("detail");
    const QList<int> interrupt{ids::kProgramInterrupt};
    QTest::newRow("silent radio") << ids::kRead << QStringList{"silent"} << QList<int>{}
                                  << int(TransferEnd::HandshakeFailed) << interrupt << QString();
    QTest::newRow("second stage never answers: Retry, then Cancel")
        << ids::kRead << QStringList{"no-ack-stage2-always"}
        << QList<int>{CMessageBox::IdRetry, CMessageBox::IdCancel} << int(TransferEnd::RetryDeclined)
        << QList<int>{ids::kCommError, ids::kCommError} << QString();
    QTest::newRow("short reply at block 37") << ids::kRead << QStringList{"short-reply:37"} << QList<int>{}
                                             << int(TransferEnd::BlockFailed) << interrupt << QString();
    QTest::newRow("read: radio hangs up") << ids::kRead << QStringList{"hangup:50"} << QList<int>{}
                                          << int(TransferEnd::BlockFailed) << interrupt
                                          << QStringLiteral("was lost");
    QTest::newRow("write: wrong ack") << ids::kWrite << QStringList{"wrong-ack:90"} << QList<int>{}
                                      << int(TransferEnd::BlockFailed) << interrupt << QString();
    QTest::newRow("write: radio hangs up") << ids::kWrite << QStringList{"hangup:3"} << QList<int>{}
                                           << int(TransferEnd::BlockFailed) << interrupt
                                           << QStringLiteral("was lost");
  }

  void faultsLoseNothing() {
    QFETCH(int, command);
    QFETCH(QStringList, fault);
    QFETCH(QList<int>, answers);
    QFETCH(int, end);
    QFETCH(QList<int>, messages);
    QFETCH(QString, detail);
    QStringList args;
    for (const QString& f : fault) args << "--fault" << f;
    QVERIFY(StartRadio(args));
    // A write first encodes the grid into the image; that is kept.
    if (command == ids::kWrite) m_view->EncodeGridToImage();
    Image before = m_doc->Image();
    m_answers = answers;
    TransferResult result = Run(command);
    QCOMPARE(int(result.end), end);
    QCOMPARE(ShownIds(), messages);
    // The message stands as it is; a reason the user can act on follows on
    // a line of its own.
    const CMessageBox::Request& last = m_boxes.last();
    if (detail.isEmpty()) {
      QCOMPARE(last.text, CLanguagePack::String(messages.last()));
    } else {
      QVERIFY2(last.text.section('\n', 1).contains(detail), qPrintable(last.text));
    }
    ExpectNothingLost(before);
  }

  void portThatCannotOpen_data() {
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("detail");
    QTest::newRow("no such device") << false << QStringLiteral("cable is not plugged in");
    QTest::newRow("held by another program") << true << QStringLiteral(" is in use by flock (process ");
  }

  void portThatCannotOpen() {
    QFETCH(bool, held);
    QFETCH(QString, detail);
    if (held) {
      QVERIFY(StartRadio({}));
      QByteArray path = qgetenv("CHANSET_COM1");
      m_holder = new QProcess(this);
      m_holder->start(QStringLiteral("flock"), {"--exclusive", QString::fromUtf8(path), "sleep", "60"});
      QVERIFY2(m_holder->waitForStarted(5000), "flock(1) is needed for this test");
      QTRY_VERIFY(!ProbePort(path.toStdString()));
    } else {
      qputenv("CHANSET_COM1", Path(QStringLiteral("no-such-device")).toUtf8());
    }
    Image before = m_doc->Image();
    TransferResult result = Run(ids::kRead);
    QVERIFY(result.end == TransferEnd::OpenFailed);
    QCOMPARE(ShownIds(), QList<int>{ids::kPortOpenFailed});
    QCOMPARE(m_boxes[0].icon, CMessageBox::Exclamation);
    QCOMPARE(m_boxes[0].text.section('\n', 0, 0), CLanguagePack::String(ids::kPortOpenFailed));
    QVERIFY2(m_boxes[0].text.section('\n', 1).contains(detail), qPrintable(m_boxes[0].text));
    ExpectNothingLost(before);
  }

  void cancelBeforeOkNeverOpensThePort() {
    PtyPair line;
    QVERIFY(line.ok());
    qputenv("CHANSET_COM1", line.path().c_str());
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    m_frame->OnCommand(ids::kRead);
    QVERIFY(Dialog()->isVisible());
    Dialog()->CancelButton()->click();
    QTest::qWait(100);
    QVERIFY(!Dialog()->isVisible());
    QCOMPARE(ended.count(), 0);
    QVERIFY(line.Drain().empty());
    QVERIFY(m_boxes.isEmpty());
  }

  void commandsLockedWhileATransferRuns() {
    // At the radio's own pace the block loop takes a few seconds.
    QVERIFY(StartRadio({}, false));
    Image before = m_doc->Image();
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    m_frame->OnCommand(ids::kRead);
    Dialog()->OkButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(Dialog()->Counter()->text().toInt() >= 10, 10000);
    Snapshot(QStringLiteral("progress-during-read"));
    QVERIFY(m_ctl->IsRunning());
    for (int id : kLockedCommands) QVERIFY2(!m_frame->IsCommandEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(m_frame->IsCommandEnabled(ids::kComSetup));
    QVERIFY(!m_view->isEnabled());
    // The direction stays as it was, and the window cannot be closed.
    m_ctl->OnWrite();
    QVERIFY(!m_ctl->WriteMode());
    QCOMPARE(Dialog()->windowTitle(), QStringLiteral("Read Data"));
    QVERIFY(!m_frame->close());
    // Com Setup stays usable, and shows the port in use as taken.
    bool comSetupUsable = false, comOneTaken = false;
    QTimer::singleShot(0, this, [&] {
      if (auto* dlg = qobject_cast<CPortSettingDlg*>(QApplication::activeModalWidget())) {
        comSetupUsable = dlg->isEnabled();
        comOneTaken = !dlg->PortButton(1)->isEnabled();
        dlg->reject();
      }
    });
    m_frame->OnCommand(ids::kComSetup);
    QVERIFY(comSetupUsable);
    QVERIFY(comOneTaken);
    // Cancel in the block loop: no message, and the image as it was.
    QVERIFY(Dialog()->CancelButton()->isEnabled());
    Dialog()->CancelButton()->click();
    QVERIFY(ended.wait(10000));
    TransferResult result = ended.first().at(0).value<TransferResult>();
    QCOMPARE(int(result.end), int(TransferEnd::Cancelled));
    QVERIFY(result.rows > 0 && result.rows < 62);
    QVERIFY(m_boxes.isEmpty());
    ExpectNothingLost(before);
  }

  // Cancel while the port waits for a radio that does not answer: the
  // transfer ends at once and silently, instead of running out its four
  // stage-one attempts and showing "Program Interrupt".
  void cancelWhileThePortWaitsEndsSilently_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("mark");
    QTest::newRow("stage one, silent radio") << "silent" << " TX 4E\n";
    QTest::newRow("stage two, unanswered ACK") << "no-ack-stage2" << " TX 06\n";
    QTest::newRow("block loop") << "" << " TX 52 00 40 08\n";
  }
  void cancelWhileThePortWaitsEndsSilently() {
    QFETCH(QString, fault);
    QFETCH(QString, mark);
    QVERIFY(StartRadio(fault.isEmpty() ? QStringList{} : QStringList{"--fault", fault}, false));
    const QString trace = Path(QStringLiteral("cancel-trace.txt"));
    QFile::remove(trace);
    qputenv("CHANSET_TRACE", trace.toUtf8());
    Image before = m_doc->Image();
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    m_frame->OnCommand(ids::kRead);
    Dialog()->OkButton()->click();
    auto traceText = [&trace] {
      QFile f(trace);
      return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(traceText().contains(mark), 10000);
    QTest::mouseClick(Dialog()->CancelButton(), Qt::LeftButton);
    QVERIFY(ended.wait(3000));
    qunsetenv("CHANSET_TRACE");
    QCOMPARE(int(ended.first().at(0).value<TransferResult>().end), int(TransferEnd::Cancelled));
    QVERIFY(m_boxes.isEmpty());
    ExpectNothingLost(before);
    QVERIFY(traceText().contains(QStringLiteral("Operation canceled")));
    QVERIFY(traceText().endsWith(QStringLiteral(" END cancelled\n")));
    QVERIFY(ProbePort(qgetenv("CHANSET_COM1").toStdString()));
  }

  void traceEnvironmentVariableKeepsEveryTransfer() {
    QVERIFY(StartRadio({}));
    const QString trace = Path(QStringLiteral("session-trace.txt"));
    qputenv("CHANSET_TRACE", trace.toUtf8());
    QVERIFY(Run(ids::kRead).ok());
    QVERIFY(Run(ids::kWrite).ok());
    qunsetenv("CHANSET_TRACE");
    QFile f(trace);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    // Both transfers, one after the other, each from its header to its end.
    QCOMPARE(text.count(QStringLiteral("\n# ")) + text.startsWith(QStringLiteral("# ")), 2);
    QVERIFY(text.indexOf(QStringLiteral("# read on ")) < text.indexOf(QStringLiteral("# write on ")));
    QCOMPARE(text.count(QStringLiteral(" END completed\n")), 2);
    QCOMPARE(text.count(QStringLiteral(" TX 52 ")), 124);  // read requests
    QCOMPARE(text.count(QStringLiteral(" TX 57 ")), 124);  // write headers
  }

  // A trace that cannot be written never stops or holds up a transfer; the
  // status bar says why when it ends.
  void traceThatCannotBeWrittenIsSaidOnTheStatusBar_data() {
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("says");
    QTest::newRow("pipe with no reader") << "pipe" << "No trace was written: " + Path("pipe") + ": not a regular file";
    QTest::newRow("the port") << "port" << "is the port";
    QTest::newRow("full disk") << "full" << "(No space left on device): ";
  }
  void traceThatCannotBeWrittenIsSaidOnTheStatusBar() {
    QFETCH(QString, trace);
    QFETCH(QString, says);
    QVERIFY(StartRadio({}));
    const int full = ::open("/dev/full", O_WRONLY);  // handed over as an open descriptor
    QFile::remove(Path("pipe"));
    QVERIFY(::mkfifo(QFile::encodeName(Path("pipe")), 0644) == 0);
    const QString path = trace == QLatin1String("pipe")   ? Path("pipe")
                         : trace == QLatin1String("port") ? QString::fromUtf8(qgetenv("CHANSET_COM1"))
                                                          : QStringLiteral("/dev/fd/%1").arg(full);
    qputenv("CHANSET_TRACE", path.toUtf8());
    const bool ok = Run(ids::kRead).ok();
    qunsetenv("CHANSET_TRACE");
    ::close(full);
    QVERIFY(ok);
    const QString status = m_frame->statusBar()->currentMessage();
    QVERIFY2(status.contains(says), qPrintable(status));
  }

  void destroyingTheWindowStopsARunningTransfer() {
    QVERIFY(StartRadio({}, false));
    m_frame->OnCommand(ids::kRead);
    Dialog()->OkButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(Dialog()->Counter()->text().toInt() >= 1, 10000);
    QVERIFY(CTransferMonitor::Instance()->IsRunning());
    // The worker is told to stop and joined; nothing is left running and
    // nothing is shown.
    delete m_app;
    m_app = nullptr;
    QVERIFY(!CTransferMonitor::Instance()->IsRunning());
    QCoreApplication::processEvents();
    QVERIFY(m_boxes.isEmpty());
    // The port is free again.
    QVERIFY(ProbePort(qgetenv("CHANSET_COM1").toStdString()));
  }
};

QTEST_MAIN(GuiTransferTest)
#include "gui_transfer_test.moc"
