// Program -> Write to Several Radios against chanset-radio-sim radios on
// pseudo-terminals, each behind a USB cable of a fake machine (sysfs and dev
// trees), cables plugged in and pulled out through a fake device source; the
// write log every write leaves and Help -> Write Log; the one cable offered
// for a port that leads nowhere. In English and Chinese.
// With CHANSET_SCREENSHOT_DIR set (and a real display), pictures of the batch
// window and the log window are saved there.
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <optional>

#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "link/CBatchWriteDlg.h"
#include "link/CDeviceWatcher.h"
#include "link/CTransferController.h"
#include "link/CWriteLogDlg.h"
#include "link/PortNames.h"
#include "link/WriteLog.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"
#include "platform/Sha256.h"
#include "platform/UserRegistry.h"
#include "tests/e2e/GuiRadio.h"
#include "tests/gui/ShellTestSupport.h"
#include "tests/unit/FakeSerialTree.h"
#include "tools/radio_sim/SampleImage.h"

using namespace chanset;

namespace {

// One radio of the batch: how the simulator misbehaves, the row's last
// words in each language, and the log's result.
struct Radio {
  const char* fault;  // "" for none
  const char* english;
  const char* chinese;
  const char* logged;
};

// The sample radio's channel 1 is 446.00625 MHz: corrupt-write:2 leaves
// 446.00624 in the radio.
const Radio kRadios[] = {
    {"", "verified", "已校验", "verified"},
    {"silent", "no answer", "无应答", "failed: no answer"},
    {"hangup:30", "cable pulled", "写频线已拔出", "failed: cable pulled"},
    {"corrupt-write:2", "differs: CH 1 Rx Frequency: 446.00625 -> 446.00624",
     "不一致：信道 1 接收频率: 446.00625 -> 446.00624", "differs: CH 1 Rx Frequency: 446.00625 -> 446.00624"},
};

QString ById(int n) { return QStringLiteral("usb-FTDI_FT232R_USB_UART_SER%1-if00-port0").arg(n); }
}  // namespace

class GuiBatchTest : public QObject {
  Q_OBJECT
 private:
  std::optional<AppDirFixture> m_fx;
  std::optional<BoxRecorder> m_boxes;
  std::optional<QTemporaryDir> m_data, m_machineDir;
  std::optional<testutil::FakeSerialTree> m_machine;
  FakeDeviceSource* m_source = nullptr;
  CChansetApp* m_app = nullptr;
  CMainFrame* m_frame = nullptr;
  CChansetDoc* m_doc = nullptr;
  CTransferController* m_ctl = nullptr;
  QList<QProcess*> m_sims;

  void Start(const QString& language) {
    m_fx->UseShippedSettings(language);
    m_app = new CChansetApp;
    QCOMPARE(m_app->InitInstance({}), CChansetApp::StartResult::Ok);
    m_frame = m_app->MainFrame();
    m_doc = m_frame->ActiveDocument();
    m_ctl = CTransferController::For(m_frame->ActiveView());
    // The document holds the sample radio's channels, saved as plan.dat.
    Image sample = radiosim::SampleImage();
    std::copy(sample.begin(), sample.begin() + kTransferBytes, m_doc->Image().begin());
    m_frame->ActiveView()->RefreshFromImage();
    QCOMPARE(m_doc->OnSaveDocument(m_fx->WorkPath(QStringLiteral("plan.dat"))), DatError::None);
    CTransferController::SetVerifyAfterWrite(true);
  }

  // Plugs in cable ttyUSB<n> (serial SER<n>, by-id name ById(n)) with a
  // radio simulated with `args` behind it; `announce` tells the device
  // source. The cable's device path.
  QString Plug(int n, const QStringList& args, bool fast = true, bool announce = false) {
    QProcess* sim = nullptr;
    if (!guiradio::StartRadio(this, sim, args, fast)) return QString();
    m_sims << sim;
    const std::string name = "ttyUSB" + std::to_string(n);
    m_machine->AddUsb(name, n + 1, "0403", "6001", "FTDI", "FT232R USB UART", false, "SER" + std::to_string(n));
    m_machine->AddDevice(name, qgetenv("CHANSET_COM1").toStdString());
    m_machine->AddById(ById(n).toStdString(), name);
    qunsetenv("CHANSET_COM1");
    const QString path = QString::fromStdString(m_machine->Dev() + "/" + name);
    if (announce) m_source->Add(path.toStdString());
    return path;
  }

  void Unplug(int n) {
    const std::string name = "ttyUSB" + std::to_string(n);
    m_machine->Unplug(name);
    m_source->Remove(m_machine->Dev() + "/" + name);
  }

  CBatchWriteDlg* OpenBatch() {
    m_frame->OnCommand(ids::kWriteSeveralRadios);
    CBatchWriteDlg* dlg = m_ctl->BatchDlg();
    if (dlg && !QTest::qWaitForWindowExposed(dlg)) return nullptr;
    return dlg;
  }

  // Start, then every row's last words.
  QStringList RunBatch(CBatchWriteDlg* dlg) {
    QSignalSpy ended(dlg, &CBatchWriteDlg::batchEnded);
    dlg->StartButton()->click();
    if (!ended.wait(60000)) return {QStringLiteral("the batch did not end")};
    QStringList words;
    for (int r = 0; r < dlg->Table()->rowCount(); ++r) words << dlg->StateText(r);
    return words;
  }

  QList<CsvRecord> LogRows() {
    std::string text = AppDirFixture::ReadFile(QString::fromStdString(WriteLogPath())).toStdString();
    QList<CsvRecord> rows;
    for (const CsvRecord& r : WriteLogRows(text)) rows << r;
    return rows;
  }

 private slots:
  void initTestCase() { qRegisterMetaType<TransferResult>(); }

  void init() {
    m_fx.emplace();
    m_boxes.emplace();
    m_data.emplace();
    m_machineDir.emplace();
    qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
    m_machine.emplace(m_machineDir->path().toStdString());
    qputenv("CHANSET_SYSFS_ROOT", m_machine->Sys().c_str());
    qputenv("CHANSET_DEV_ROOT", m_machine->Dev().c_str());
    qputenv("CHANSET_PROC_ROOT", m_machine->Proc().c_str());
    auto source = std::make_unique<FakeDeviceSource>();
    m_source = source.get();
    CDeviceWatcher::Instance()->UseSource(std::move(source));
  }

  void cleanup() {
    delete m_app;
    m_app = nullptr;
    for (QProcess* sim : m_sims) {
      sim->terminate();
      sim->waitForFinished(5000);
      delete sim;
    }
    m_sims.clear();
    m_machine.reset();
    m_boxes.reset();
    m_fx.reset();
  }

  // One batch, one radio of each kind: every row ends with its own words,
  // whatever the others do, and every write leaves its line in the log.
  void eachRadioEndsWithItsOwnResult_data() { AddLanguageRows(); }
  void eachRadioEndsWithItsOwnResult() {
    QFETCH(QString, language);
    Start(language);
    const bool chinese = language == QStringLiteral("Chinese");
    int n = 0;
    for (const Radio& radio : kRadios)
      QVERIFY(!Plug(n++, radio.fault[0] ? QStringList{"--fault", radio.fault} : QStringList{}).isEmpty());
    CBatchWriteDlg* dlg = OpenBatch();
    QVERIFY(dlg);
    QCOMPARE(dlg->Table()->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
      QCOMPARE(dlg->Table()->item(r, CBatchWriteDlg::ColDevice)->text(), ById(r));
      QCOMPARE(dlg->Table()->item(r, CBatchWriteDlg::ColDevice)->checkState(), Qt::Checked);
      QCOMPARE(dlg->Table()->item(r, CBatchWriteDlg::ColCable)->text(), QStringLiteral("FTDI FT232R USB UART"));
      QCOMPARE(dlg->StateText(r), CLanguagePack::String(ids::kBatchReady));
    }
    guiradio::Snapshot(QStringLiteral("batch-ready-") + language);
    QStringList expected;
    for (const Radio& radio : kRadios) expected << QString::fromUtf8(chinese ? radio.chinese : radio.english);
    QCOMPARE(RunBatch(dlg), expected);
    QCOMPARE(dlg->Summary()->text(),
             CLanguagePack::String(ids::kBatchSummary).arg(2).arg(4) + CLanguagePack::String(ids::kBatchVerified).arg(1));
    guiradio::Snapshot(QStringLiteral("batch-ended-") + language);

    const QString hash = QString::fromStdString(Sha256Hex(m_doc->Image().data(), m_doc->Image().size()));
    // Each radio's line, in the order the radios ended.
    QList<CsvRecord> log = LogRows();
    QCOMPARE(log.size(), 4);
    for (const Radio& radio : kRadios) {
      const int r = static_cast<int>(&radio - kRadios);
      auto it = std::find_if(log.begin(), log.end(), [&](const CsvRecord& l) { return l[1] == ById(r).toStdString(); });
      QVERIFY2(it != log.end(), qPrintable(ById(r)));
      QCOMPARE(QString::fromStdString((*it)[2]), QStringLiteral("SER%1").arg(r));
      QCOMPARE(QString::fromStdString((*it)[3]), m_fx->WorkPath(QStringLiteral("plan.dat")));
      QCOMPARE(QString::fromStdString((*it)[4]), hash);
      QCOMPARE((*it)[5], std::string("KRR-45"));
      QCOMPARE((*it)[6], std::string("400-470MHz"));
      QCOMPARE((*it)[7], std::string(radio.logged));
    }

    // Help -> Write Log shows the same lines.
    dlg->CloseButton()->click();
    m_frame->OnCommand(ids::kWriteLog);
    CWriteLogDlg* window = m_frame->WriteLogDlg();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->Table()->rowCount(), 4);
    QCOMPARE(window->Table()->horizontalHeaderItem(7)->text(), CLanguagePack::String(ids::kWriteLogColumnFirst + 7));
    QCOMPARE(window->Note()->text(), QString());
    guiradio::Snapshot(QStringLiteral("write-log-") + language);
  }

  // Cancel stops every radio at once, each row says so, and so does the log.
  void cancelStopsEveryRadio() {
    Start(QStringLiteral("English"));
    for (int n = 0; n < 3; ++n) QVERIFY(!Plug(n, {"--save", m_fx->WorkPath(QStringLiteral("saved%1.dat").arg(n))}, false).isEmpty());
    CBatchWriteDlg* dlg = OpenBatch();
    QSignalSpy ended(dlg, &CBatchWriteDlg::batchEnded);
    QVERIFY(dlg->StartBatch());
    QVERIFY(!dlg->CloseButton()->isEnabled());
    QVERIFY(!m_frame->IsCommandEnabled(ids::kWrite));
    auto* bar = qobject_cast<QProgressBar*>(dlg->Table()->cellWidget(2, CBatchWriteDlg::ColState));
    QVERIFY(bar);
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 5, 20000);
    guiradio::Snapshot(QStringLiteral("batch-running"));
    dlg->CancelButton()->click();
    QVERIFY(ended.wait(5000));
    for (int r = 0; r < 3; ++r) QCOMPARE(dlg->StateText(r), QStringLiteral("cancelled"));
    for (int n = 0; n < 3; ++n) QVERIFY(!QFile::exists(m_fx->WorkPath(QStringLiteral("saved%1.dat").arg(n))));
    QList<CsvRecord> log = LogRows();
    QCOMPARE(log.size(), 3);
    for (const CsvRecord& line : log) QCOMPARE(line[7], std::string("failed: cancelled"));
    QVERIFY(m_frame->IsCommandEnabled(ids::kWrite));
  }

  // Cables plugged in and pulled out: rows come and go with them, and one
  // pulled while its radio is written ends "cable pulled".
  void cablesComeAndGo() {
    Start(QStringLiteral("English"));
    const QString first = Plug(0, {}, false);
    CBatchWriteDlg* dlg = OpenBatch();
    QCOMPARE(dlg->Table()->rowCount(), 1);
    const QString second = Plug(1, {});
    QCOMPARE(dlg->Table()->rowCount(), 1);  // not yet told
    m_source->Add(second.toStdString());
    QTRY_COMPARE(dlg->Table()->rowCount(), 2);
    QCOMPARE(dlg->Table()->item(1, CBatchWriteDlg::ColDevice)->checkState(), Qt::Checked);
    Unplug(1);
    QTRY_COMPARE(dlg->Table()->rowCount(), 1);
    QCOMPARE(dlg->RowOf(first), 0);

    QSignalSpy ended(dlg, &CBatchWriteDlg::batchEnded);
    QVERIFY(dlg->StartBatch());
    auto* bar = qobject_cast<QProgressBar*>(dlg->Table()->cellWidget(0, CBatchWriteDlg::ColState));
    QTRY_VERIFY_WITH_TIMEOUT(bar && bar->value() >= 5, 20000);
    Unplug(0);
    QVERIFY(ended.wait(5000));
    QCOMPARE(dlg->StateText(0), QStringLiteral("cable pulled"));
    QList<CsvRecord> log = LogRows();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].at(7), std::string("failed: cable pulled"));
  }

  // Help -> Write Log before anything was written, and with a line that is
  // not the log's: it says so, and shows what it can.
  void writeLogWindowTellsWhatItCannotShow() {
    Start(QStringLiteral("English"));
    m_frame->OnCommand(ids::kWriteLog);
    CWriteLogDlg* window = m_frame->WriteLogDlg();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->Table()->rowCount(), 0);
    QCOMPARE(window->Note()->text(),
             CLanguagePack::String(ids::kWriteLogEmpty).arg(QString::fromStdString(WriteLogPath())));
    QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(WriteLogPath())).path()));
    AppDirFixture::WriteFile(QString::fromStdString(WriteLogPath()),
                             "time,port,usb_serial,document,sha256,radio_type,band,result\n"
                             "2024-05-01T10:00:00+02:00,usb-a,S1,/p.dat,ab,KRR-45,400-470MHz,verified\n"
                             "2024-05-01T10:00:01+02:00,usb-b,S2,\"/p, q.dat\",ab,KRR-45,400-470MHz,failed: no answer\n"
                             "\"cut short\n");
    window->ShowLog();
    QCOMPARE(window->Table()->rowCount(), 2);
    QCOMPARE(window->Table()->item(1, 3)->text(), QStringLiteral("/p, q.dat"));
    QCOMPARE(window->Note()->text(), CLanguagePack::String(ids::kWriteLogSkipped).arg(1));
    guiradio::Snapshot(QStringLiteral("write-log-unreadable"));
  }

  // Read with COM1 leading nowhere and one cable plugged in: asked once.
  // No holds for that cable; Yes maps COM1 to the cable's by-id name and
  // the read goes on.
  void theOneCableIsOfferedForAnEmptyPort() {
    Start(QStringLiteral("English"));
    Plug(3, {});
    m_boxes->answers << CMessageBox::IdNo;
    QCOMPARE(guiradio::Run(m_frame, m_ctl, ids::kRead).end, TransferEnd::OpenFailed);
    QCOMPARE(m_boxes->seen.value(0).text, QStringLiteral("Use %1 (FTDI FT232R USB UART) as COM1?").arg(ById(3)));
    QCOMPARE(m_boxes->seen.value(0).buttons, CMessageBox::YesNo);
    m_boxes->seen.clear();
    QCOMPARE(guiradio::Run(m_frame, m_ctl, ids::kRead).end, TransferEnd::OpenFailed);
    QCOMPARE(m_boxes->seen.size(), 1);  // the port's message only
    QVERIFY(m_boxes->seen[0].text.startsWith(CLanguagePack::String(ids::kPortOpenFailed)));

    Unplug(3);
    Plug(4, {});
    m_boxes->seen.clear();
    m_boxes->answers << CMessageBox::IdYes;
    QVERIFY(guiradio::Run(m_frame, m_ctl, ids::kRead).ok());
    QCOMPARE(m_boxes->seen.size(), 1);
    const std::string byId = m_machine->Dev() + "/serial/by-id/" + ById(4).toStdString();
    QCOMPARE(UserRegistry::ReadString(PortsRegistryKey(), "COM1"), byId);
    QCOMPARE(DevicePathForPort(1), byId);
  }
};

QTEST_MAIN(GuiBatchTest)
#include "gui_batch_test.moc"
