// The main window against chanset-radio-sim: the backup of every read,
// Program -> Compare with Radio and Setup -> Verify After Write, in English
// and Chinese, with the faults that make them fail; and a signal that ends
// the program, keeping what was not saved.
// With CHANSET_SCREENSHOT_DIR set (and a real display), pictures of the
// menus, the compare window and the verify message are saved there.
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "app/CSignalClose.h"
#include "platform/CHelpService.h"
#include "data/CChansetDoc.h"
#include "data/DatFile.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "link/CCompareDlg.h"
#include "link/CProcessDlg.h"
#include "link/CancelSignal.h"
#include "link/CTransferController.h"
#include "link/WriteLog.h"
#include "data/Backups.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/UserRegistry.h"
#include "tests/e2e/GuiRadio.h"
#include "tests/e2e/LineState.h"
#include "tests/e2e/SameRows.h"
#include "tests/gui/ShellTestSupport.h"
#include "tools/radio_sim/SampleImage.h"

using namespace chanset;

namespace {
const QString kAppDir = QStringLiteral(CHANSET_APP_DIR);

QByteArray DatOf(const Image& image) {
  std::ostringstream out;
  StoreDat(out, image);
  return QByteArray::fromStdString(out.str());
}

QStringList Files(const QString& folder) {
  QStringList names;
  for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) names << QDir(folder).filePath(name);
  return names;
}

// The sample radio with channel 1 at 446.00625 MHz: the simulator's
// corrupt-write:2 makes it 446.00624 in the radio.
const QString kCorruptLine = QStringLiteral("CH 1 Rx Frequency: 446.00625 -> 446.00624");
const QString kCorruptLineZh = QStringLiteral("信道 1 接收频率: 446.00625 -> 446.00624");
}  // namespace

class GuiSafeTransferTest : public QObject {
  Q_OBJECT
 private:
  std::optional<AppDirFixture> m_fx;
  std::optional<BoxRecorder> m_boxes;
  QTemporaryDir m_data;  // XDG_DATA_HOME: the backups
  CChansetApp* m_app = nullptr;
  CMainFrame* m_frame = nullptr;
  CChansetView* m_view = nullptr;
  CChansetDoc* m_doc = nullptr;
  CTransferController* m_ctl = nullptr;
  QProcess* m_sim = nullptr;

  // The application in `language`, with the shipped settings file.
  void Start(const QString& language) {
    m_fx->UseShippedSettings(language);
    m_app = new CChansetApp;
    QCOMPARE(m_app->InitInstance({}), CChansetApp::StartResult::Ok);
    m_frame = m_app->MainFrame();
    m_view = m_frame->ActiveView();
    m_doc = m_frame->ActiveDocument();
    QVERIFY(m_view && m_doc);
    m_ctl = CTransferController::For(m_view);
  }

  void Stop() {
    delete m_app;
    m_app = nullptr;
  }

  bool StartRadio(const QStringList& args, bool fast = true) { return guiradio::StartRadio(this, m_sim, args, fast); }

  QString Path(const QString& name) const { return m_fx->WorkPath(name); }
  QString Backups() const { return QString::fromStdString(BackupFolder()); }
  CProcessDlg* Dialog() const { return m_ctl->ProcessDlg(); }
  QString Status() const { return m_frame->statusBar()->currentMessage(); }

  TransferResult Run(int command) { return guiradio::Run(m_frame, m_ctl, command); }

  // The document holds the sample radio's channels.
  void LoadSample() {
    Image sample = radiosim::SampleImage();
    std::copy(sample.begin(), sample.begin() + kTransferBytes, m_doc->Image().begin());
    m_view->RefreshFromImage();
  }

  QStringList GridTexts() const {
    QStringList texts;
    CMSFlexGrid* grid = m_view->Grid();
    for (int r = 1; r <= 16; ++r)
      for (int c = 1; c <= 8; ++c) texts << grid->GetTextMatrix(r, c);
    return texts;
  }

  // Types `text` into the grid cell (row, col) and presses Enter.
  void TypeIntoCell(int row, int col, const QString& text) {
    CMSFlexGrid* grid = m_view->Grid();
    QPoint p(TwipsToPixels(grid->GetColPos(col), grid->DpiX()) + 6,
             TwipsToPixels(grid->GetRowPos(row), grid->DpiY()) + 5);
    QWidget* cell = grid->childAt(p);
    QVERIFY(cell);
    QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, cell->mapFrom(grid, p));
    auto* edit = qobject_cast<QLineEdit*>(m_view->EditorOfColumn(col));
    QVERIFY(edit && edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(grid->GetTextMatrix(row, col), text);
  }

  QAction* MenuAction(int popup, int id) const {
    for (QAction* a : m_frame->DocMenuPopup(popup)->actions())
      if (a->property("chansetCommand").toInt() == id) return a;
    return nullptr;
  }

  // Runs chanset-cli with `args`; its standard output.
  QString Cli(const QStringList& args) {
    QProcess cli;
    cli.start(kAppDir + QStringLiteral("/chanset-cli"), args);
    cli.waitForFinished(10000);
    return QString::fromUtf8(cli.readAllStandardOutput());
  }

  void Snapshot(const QString& name) { guiradio::Snapshot(name); }

  // The write log's last line: its result, and whether it names the port.
  QString LastLogged() const {
    const std::string text = AppDirFixture::ReadFile(QString::fromStdString(WriteLogPath())).toStdString();
    const std::vector<CsvRecord> rows = WriteLogRows(text);
    if (rows.empty() || rows.back().size() != WriteLogColumns().size()) return QStringLiteral("(no line)");
    if (rows.back()[1] != qgetenv("CHANSET_COM1").toStdString()) return QStringLiteral("(another port)");
    return QString::fromStdString(rows.back()[7]);
  }

  // For pictures: the next message box is shown for real, photographed and
  // closed. Without CHANSET_SCREENSHOT_DIR nothing changes.
  void PhotographNextBox(const QString& name) {
    if (qEnvironmentVariable("CHANSET_SCREENSHOT_DIR").isEmpty()) return;
    CMessageBox::SetResponder({});
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer, name] {
      QWidget* box = QApplication::activeModalWidget();
      if (!box) return;
      timer->stop();
      timer->deleteLater();
      Snapshot(name);
      box->close();
    });
    timer->start(50);
  }

  // Opens a menu of the document menu bar for a picture.
  void SnapshotMenu(int popup, const QString& name) {
    if (qEnvironmentVariable("CHANSET_SCREENSHOT_DIR").isEmpty()) return;
    QMenu* menu = m_frame->DocMenuPopup(popup);
    QTimer::singleShot(0, this, [=] {
      Snapshot(name);
      menu->close();
    });
    menu->exec(m_frame->mapToGlobal(QPoint(80 * popup, 40)));
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
    qRegisterMetaType<TransferResult>();
  }

  void init() {
    m_fx.emplace();
    m_boxes.emplace();
    QDir(Backups()).removeRecursively();
  }

  void cleanup() {
    Stop();
    if (m_sim) {
      m_sim->terminate();
      m_sim->waitForFinished(5000);
      delete m_sim;
      m_sim = nullptr;
    }
    qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
    m_boxes.reset();
    m_fx.reset();
  }

  // Backups --------------------------------------------------------------------

  void readKeepsABackupOfWhatItRead() {
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({}));
    TransferResult result = Run(ids::kRead);
    QVERIFY(result.ok());
    QStringList backups = Files(Backups());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(QString::fromStdString(m_ctl->LastBackup().path), backups[0]);
    // The whole document as read, rows 62..63 included.
    QCOMPARE(AppDirFixture::ReadFile(backups[0]), DatOf(m_doc->Image()));
    QCOMPARE(Status(), QStringLiteral("Backup of the data read: ") + backups[0]);
    QVERIFY(m_boxes->seen.isEmpty());
  }

  void aBackupThatCannotBeWrittenOnlyWarns() {
    Start(QStringLiteral("Chinese"));
    QVERIFY(StartRadio({}));
    // The data folder is a file: no backups folder can be made.
    const QString blocked = Path(QStringLiteral("not-a-folder"));
    AppDirFixture::WriteFile(blocked, "x");
    qputenv("XDG_DATA_HOME", blocked.toUtf8());
    TransferResult result = Run(ids::kRead);
    QVERIFY(result.ok());
    QVERIFY(SameRows(m_doc->Image(), radiosim::SampleImage(), 0, 61));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_boxes->seen.isEmpty());
    QVERIFY2(Status().startsWith(QStringLiteral("无法在 ")), qPrintable(Status()));
    QVERIFY(m_ctl->LastBackup().path.empty());
  }

  void openDialogListsTheBackupsFolder() {
    Start(QStringLiteral("English"));
    QStringList places;
    QTimer::singleShot(0, this, [&] {
      QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      for (const QUrl& url : dialog->sidebarUrls()) places << url.toLocalFile();
      dialog->reject();
    });
    m_frame->OnCommand(ids::kFileOpen);
    QVERIFY2(places.contains(Backups()), qPrintable(places.join(' ')));
    QVERIFY(QFileInfo(Backups()).isDir());
  }

  // Compare with Radio -----------------------------------------------------------

  void compareListsWhatWriteWouldChange_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("English") << "English"
                             << "en"
                             << "Compare with Radio"
                             << "CH 3 Rx Frequency: 462.56250 -> 462.57500";
    QTest::newRow("Chinese") << "Chinese"
                             << "zh"
                             << "与电台比较"
                             << "信道 3 接收频率: 462.56250 -> 462.57500";
  }
  void compareListsWhatWriteWouldChange() {
    QFETCH(QString, language);
    QFETCH(QString, lang);
    QFETCH(QString, title);
    QFETCH(QString, firstLine);
    Start(language);
    const Image radio = radiosim::SampleImage();
    QCOMPARE(StoreDatFile(Path("radio.dat").toStdString(), radio), DatError::None);
    QVERIFY(StartRadio({"--image", Path("radio.dat")}));
    QVERIFY(Run(ids::kRead).ok());
    QDir(Backups()).removeRecursively();
    // The user edits a channel in the grid and an option in its dialog, and
    // saves the document.
    TypeIntoCell(3, 1, QStringLiteral("462.57500"));
    m_doc->Image()[off::kSquelch] = 9;
    QCOMPARE(m_doc->OnSaveDocument(Path("doc.dat")), DatError::None);
    const Image before = m_doc->Image();
    const QStringList grid = GridTexts();
    const bool modified = m_doc->IsModified();

    TransferResult result = Run(ids::kCompareWithRadio);
    QVERIFY(result.ok());
    QVERIFY(m_boxes->seen.isEmpty());
    // The document is exactly as it was.
    QVERIFY(m_doc->Image() == before);
    QCOMPARE(GridTexts(), grid);
    QCOMPARE(m_doc->IsModified(), modified);
    QVERIFY(!g_bFreshDocument);

    CCompareDlg* dlg = m_ctl->CompareDlg();
    QVERIFY(dlg && dlg->isVisible());
    QCOMPARE(dlg->windowTitle(), title);
    QStringList lines = dlg->Lines()->toPlainText().split('\n');
    QCOMPARE(lines.first(), firstLine);
    QCOMPARE(dlg->Summary()->text(), CLanguagePack::String(ids::kCompareDiffers).arg(lines.size()));
    Snapshot(QStringLiteral("compare-") + lang);
    // The same lines as chanset-cli diff from the radio to the document.
    QString diff = Cli({"diff", Path("radio.dat"), Path("doc.dat"), "--lang", lang, "--ini",
                        m_fx->AppPath("Chanset.ini")});
    QCOMPARE(lines, diff.trimmed().split('\n'));
    // The compare's read is kept too: the radio's own bytes.
    QStringList backups = Files(Backups());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(AppDirFixture::ReadFile(backups[0]), AppDirFixture::ReadFile(Path("radio.dat")));
  }

  // Right after a read the document is the radio; an edit in the grid
  // shows before it is saved or written.
  void compareAfterAReadFindsNothingThenTheGridsEdit() {
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({}));
    QVERIFY(Run(ids::kRead).ok());
    // Nothing different: a message box, no window.
    QVERIFY(Run(ids::kCompareWithRadio).ok());
    QVERIFY(!m_ctl->CompareDlg());
    QCOMPARE(m_boxes->seen.size(), 1);
    QCOMPARE(m_boxes->seen[0].text, CLanguagePack::String(ids::kCompareSame));

    TypeIntoCell(2, 2, QStringLiteral("446.03125"));
    const Image before = m_doc->Image();
    QVERIFY(Run(ids::kCompareWithRadio).ok());
    CCompareDlg* dlg = m_ctl->CompareDlg();
    QVERIFY(dlg && dlg->isVisible());
    QCOMPARE(dlg->Lines()->toPlainText(), QStringLiteral("CH 2 Tx Frequency: 446.01875 -> 446.03125"));
    QVERIFY(m_doc->Image() == before);
    QCOMPARE(dlg->accessibleDescription(), dlg->Summary()->text());
    QTest::mouseClick(dlg->CloseButton(), Qt::LeftButton);
    // The keyboard is back on the grid's cell.
    QTRY_VERIFY(m_view->isAncestorOf(QApplication::focusWidget()));
  }

  void compareThatFailsShowsReadsMessagesAndNoWindow_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QList<int>>("messages");
    QTest::newRow("silent radio") << "silent" << QList<int>{} << QList<int>{ids::kProgramInterrupt};
    QTest::newRow("Retry, then Cancel") << "no-ack-stage2-always" << QList<int>{CMessageBox::IdRetry}
                                        << QList<int>{ids::kCommError, ids::kCommError};
  }
  void compareThatFailsShowsReadsMessagesAndNoWindow() {
    QFETCH(QString, fault);
    QFETCH(QList<int>, answers);
    QFETCH(QList<int>, messages);
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({"--fault", fault}));
    m_boxes->answers = answers;
    const Image before = m_doc->Image();
    m_frame->OnCommand(ids::kCompareWithRadio);
    QCOMPARE(Dialog()->windowTitle(), QStringLiteral("Compare with Radio"));
    TransferResult result = Run(ids::kCompareWithRadio);
    QVERIFY(!result.ok());
    QList<int> shown;
    for (const CMessageBox::Request& r : m_boxes->seen)
      for (int id : {ids::kCommError, ids::kProgramInterrupt})
        if (r.text == CLanguagePack::String(id)) shown << id;
    QCOMPARE(shown, messages);
    QVERIFY(m_doc->Image() == before);
    QVERIFY(!m_doc->IsModified());
    QVERIFY(g_bFreshDocument);
    QVERIFY(!m_ctl->CompareDlg());
    QVERIFY(Files(Backups()).isEmpty());
    QVERIFY(m_frame->IsCommandEnabled(ids::kCompareWithRadio));
  }

  void compareIsLockedWhileATransferRunsAndCancelsSilently() {
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({}, false));
    const Image before = m_doc->Image();
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    m_frame->OnCommand(ids::kCompareWithRadio);
    Dialog()->OkButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(Dialog()->Counter()->text().toInt() >= 5, 10000);
    for (int id : {ids::kCompareWithRadio, ids::kRead, ids::kWrite})
      QVERIFY2(!m_frame->IsCommandEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(m_frame->IsCommandEnabled(ids::kVerifyAfterWrite));
    QTest::mouseClick(Dialog()->CancelButton(), Qt::LeftButton);
    QVERIFY(ended.wait(5000));
    QCOMPARE(int(ended.first().at(0).value<TransferResult>().end), int(TransferEnd::Cancelled));
    QVERIFY(m_boxes->seen.isEmpty());
    QVERIFY(m_doc->Image() == before);
    QVERIFY(!m_ctl->CompareDlg());
    QVERIFY(Files(Backups()).isEmpty());
  }

  // Verify After Write -------------------------------------------------------------

  void verifyAfterWriteIsAMenuCheckMarkRemembered() {
    Start(QStringLiteral("English"));
    QAction* item = MenuAction(4, ids::kVerifyAfterWrite);
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("&Verify After Write"));
    QCOMPARE(item->statusTip(), QStringLiteral("Read the radio back after every write and compare it with what was written"));
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());  // off until turned on
    SnapshotMenu(4, QStringLiteral("menu-setup-en"));
    SnapshotMenu(2, QStringLiteral("menu-program-en"));
    item->trigger();
    QVERIFY(m_frame->IsCommandChecked(ids::kVerifyAfterWrite));
    QVERIFY(item->isChecked());
    QVERIFY(AppDirFixture::ReadFile(QString::fromStdString(UserRegistry::FilePath())).contains("VerifyAfterWrite=1"));
    // The next start still has it on; turning it off is remembered too.
    Stop();
    Start(QStringLiteral("Chinese"));
    item = MenuAction(4, ids::kVerifyAfterWrite);
    QCOMPARE(item->text(), QStringLiteral("写频后校验(&V)"));
    QVERIFY(item->isChecked());
    SnapshotMenu(4, QStringLiteral("menu-setup-zh"));
    SnapshotMenu(2, QStringLiteral("menu-program-zh"));
    item->trigger();
    QVERIFY(!CTransferController::VerifyAfterWrite());
  }

  void writeWithoutTheCheckReadsNothingBack() {
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({"--fault", "corrupt-write:2"}));
    LoadSample();
    QVERIFY(Run(ids::kWrite).ok());
    QVERIFY(!m_ctl->LastVerify().has_value());
    QVERIFY(m_boxes->seen.isEmpty());
    QVERIFY(Files(Backups()).isEmpty());
    QCOMPARE(LastLogged(), QStringLiteral("written"));
  }

  void verifiedWritePassesOnAGoodRadio() {
    Start(QStringLiteral("English"));
    CTransferController::SetVerifyAfterWrite(true);
    QVERIFY(StartRadio({"--save", Path("saved.dat")}));
    LoadSample();
    TransferResult result = Run(ids::kWrite);
    QVERIFY(result.ok());
    QVERIFY(m_ctl->LastVerify() == VerifyEnd::Verified);
    QVERIFY(m_boxes->seen.isEmpty());
    QVERIFY2(Status().startsWith(QStringLiteral("Written and verified: the radio holds what was written.  "
                                                "Backup of the data read: ")),
             qPrintable(Status()));
    // Screen readers get the result too.
    QCOMPARE(m_frame->statusBar()->accessibleDescription(), Status());
    // The read-back is kept: the document as written.
    QStringList backups = Files(Backups());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(AppDirFixture::ReadFile(backups[0]), DatOf(m_doc->Image()));
    QCOMPARE(LastLogged(), QStringLiteral("verified"));
    QVERIFY(!Dialog()->HasWindow());
    QVERIFY(m_view->isEnabled());
  }

  void verifiedWriteThatDoesNotTakeSaysWhy_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("backups");
    QTest::addColumn<QString>("logged");  // the write log's result, in English in either language
    QTest::newRow("differs") << "English"
                             << "corrupt-write:2" << int(VerifyEnd::Differs)
                             << "The data was written, but the radio does not hold what was written. Please write "
                                "again.\nWritten -> read back:\n" + kCorruptLine
                             << 1 << "differs: " + kCorruptLine;
    QTest::newRow("differs, Chinese") << "Chinese"
                                      << "corrupt-write:2" << int(VerifyEnd::Differs)
                                      << "数据已写入，但电台中的数据与写入的不一致，请重新写频。\n写入 -> 读回：\n" +
                                             kCorruptLineZh
                                      << 1 << "differs: " + kCorruptLine;
    // Short replies come only in reads: the write goes through, its read-back fails.
    QTest::newRow("read-back fails") << "English"
                                     << "short-reply:5" << int(VerifyEnd::NotVerified)
                                     << "Written but not verified: the radio could not be read back.\nProgram "
                                        "Interrupt, Please reset the radio and try again"
                                     << 0 << "written, not verified: interrupted at block 5";
    QTest::newRow("read-back fails, Chinese") << "Chinese"
                                              << "short-reply:5" << int(VerifyEnd::NotVerified)
                                              << "已写入，但未校验：无法读回电台数据。\n编程中断，请重新启动电台后再试"
                                              << 0 << "written, not verified: interrupted at block 5";
  }
  void verifiedWriteThatDoesNotTakeSaysWhy() {
    QFETCH(QString, language);
    QFETCH(QString, fault);
    QFETCH(int, verdict);
    QFETCH(QString, text);
    QFETCH(int, backups);
    QFETCH(QString, logged);
    Start(language);
    CTransferController::SetVerifyAfterWrite(true);
    QVERIFY(StartRadio({"--save", Path("saved.dat"), "--fault", fault}));
    LoadSample();
    PhotographNextBox(QStringLiteral("verify-") + QString(QTest::currentDataTag()).replace(", ", "-").replace(' ', '-'));
    TransferResult result = Run(ids::kWrite);
    QVERIFY(result.ok());  // the write itself went through
    QCOMPARE(int(*m_ctl->LastVerify()), verdict);
    if (qEnvironmentVariable("CHANSET_SCREENSHOT_DIR").isEmpty()) {
      QCOMPARE(m_boxes->seen.size(), 1);
      QCOMPARE(m_boxes->seen[0].text, text);
      QCOMPARE(m_boxes->seen[0].icon, CMessageBox::Exclamation);
    }
    QCOMPARE(Files(Backups()).size(), backups);
    QCOMPARE(LastLogged(), logged);
    // The radio holds what it acknowledged; the document is as written.
    Image saved{};
    QTRY_VERIFY(LoadDatFile(Path("saved.dat").toStdString(), saved) == DatError::None);
    QCOMPARE(SameRows(saved, m_doc->Image(), 0, 61), verdict == int(VerifyEnd::NotVerified));
    QVERIFY(m_view->isEnabled());
    QVERIFY(m_frame->IsCommandEnabled(ids::kWrite));
  }

  void cancelDuringTheReadBackSaysWrittenButNotVerified() {
    Start(QStringLiteral("English"));
    CTransferController::SetVerifyAfterWrite(true);
    QVERIFY(StartRadio({"--save", Path("saved.dat")}, false));
    LoadSample();
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    m_frame->OnCommand(ids::kWrite);
    QCOMPARE(Dialog()->windowTitle(), QStringLiteral("Write Data"));
    Dialog()->OkButton()->click();
    // The same window goes on with the read-back, from an empty bar.
    QTRY_COMPARE_WITH_TIMEOUT(Dialog()->windowTitle(), QStringLiteral("Verify Data"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(Dialog()->Counter()->text().toInt() >= 3, 10000);
    QVERIFY(Dialog()->Counter()->text().toInt() < 62);
    Snapshot(QStringLiteral("verify-progress-en"));
    QTest::mouseClick(Dialog()->CancelButton(), Qt::LeftButton);
    QVERIFY(ended.wait(5000));
    QVERIFY(ended.first().at(0).value<TransferResult>().ok());
    QVERIFY(m_ctl->LastVerify() == VerifyEnd::NotVerified);
    QCOMPARE(m_boxes->seen.size(), 1);
    QCOMPARE(m_boxes->seen[0].text, CLanguagePack::String(ids::kVerifyCancelled));
    Image saved{};
    QTRY_VERIFY(LoadDatFile(Path("saved.dat").toStdString(), saved) == DatError::None);
    QVERIFY(SameRows(saved, m_doc->Image(), 0, 61));
    QVERIFY(Files(Backups()).isEmpty());
    QVERIFY(!Dialog()->HasWindow());
  }

  // A signal -----------------------------------------------------------------------

  void signalClosesAsExitWithoutWaiting_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("transfer");  // a write runs; otherwise Exit's question to save is open
    QTest::newRow("SIGTERM during a write") << int(SIGTERM) << true;
    QTest::newRow("SIGHUP at the question to save") << int(SIGHUP) << false;
  }

  void signalClosesAsExitWithoutWaiting() {
    QFETCH(int, signal);
    QFETCH(bool, transfer);
    const QString trace = Path(QStringLiteral("trace.txt")), locks = Path(QStringLiteral("locks"));
    QVERIFY(QDir().mkpath(locks));
    qputenv("CHANSET_TRACE", trace.toUtf8());
    qputenv("CHANSET_LOCK_DIR", locks.toUtf8());
    Start(QStringLiteral("English"));
    QVERIFY(StartRadio({}, false));
    const std::string port = qgetenv("CHANSET_COM1").toStdString();
    QVERIFY(SetUnusualLine(port));
    const std::optional<LineState> before = ReadLineState(port);
    LoadSample();
    TypeIntoCell(2, 2, QStringLiteral("446.03125"));
    QVERIFY(m_doc->IsModified());
    CMessageBox::SetResponder({});  // a question is shown for real, and waits
    CSignalClose closer(m_frame);
    // Help was opened: its temporary folder goes with the program.
    QVERIFY(CHelpService::Engine(QStringLiteral(CHANSET_APP_DIR "/enHelp.qch")));
    const QString helpFolder = CHelpService::CollectionFolder();
    QVERIFY(QFileInfo(helpFolder).isDir());
    QSignalSpy ended(m_ctl, &CTransferController::transferEnded);
    if (transfer) {
      m_frame->OnCommand(ids::kWrite);
      Dialog()->OkButton()->click();
      QTRY_VERIFY_WITH_TIMEOUT(AppDirFixture::ReadFile(trace).contains(" TX 57 00 40 08"), 20000);
    } else {
      QTimer::singleShot(0, m_frame, [this] { m_frame->close(); });
    }
    bool asked = false;  // the question to save was up when the signal came
    QTimer::singleShot(transfer ? 0 : 300, this, [signal, &asked] {
      asked = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
      raise(signal);
    });
    // The program's standard error, into a file while its loop runs.
    const QString said = Path(QStringLiteral("stderr.txt"));
    std::fflush(stderr);
    const int terminal = dup(STDERR_FILENO);
    const int file = open(said.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, STDERR_FILENO);
    close(file);
    const int status = QCoreApplication::exec();
    std::fflush(stderr);
    dup2(terminal, STDERR_FILENO);
    close(terminal);
    qunsetenv("CHANSET_TRACE");
    qunsetenv("CHANSET_LOCK_DIR");

    QCOMPARE(status, 128 + signal);
    QVERIFY(!QFileInfo::exists(helpFolder));
    QCOMPARE(asked, !transfer);
    QVERIFY(!m_frame->isVisible());
    const QString text = QString::fromUtf8(AppDirFixture::ReadFile(said));
    QVERIFY2(text.startsWith(QStringLiteral("Chanset: ") + QString::fromStdString(SignalName(signal)) +
                             QStringLiteral(" received: ")),
             qPrintable(text));
    // The unsaved document, grid edit included, is kept and named.
    const QStringList kept = Files(Backups());
    QCOMPARE(kept.size(), 1);
    QVERIFY2(text.contains(QStringLiteral("Chanset: Unsaved changes to ") + m_doc->GetTitle() +
                           QStringLiteral(" are kept in ") + kept[0] + QStringLiteral("\n")),
             qPrintable(text));
    QCOMPARE(AppDirFixture::ReadFile(kept[0]), DatOf(m_doc->Image()));
    QCOMPARE(m_view->Grid()->GetTextMatrix(2, 2), QStringLiteral("446.03125"));
    if (!transfer) return;
    // The write was cancelled, and its port is as it was found.
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().at(0).value<TransferResult>().end, TransferEnd::Cancelled);
    QVERIFY(AppDirFixture::ReadFile(trace).endsWith(" END cancelled\n"));
    QVERIFY(before && ReadLineState(port) == before);
    QVERIFY(QDir(locks).isEmpty());
  }
};

QTEST_MAIN(GuiSafeTransferTest)
#include "gui_safe_transfer_test.moc"
