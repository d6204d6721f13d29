// The Language dialog and the restart it asks for.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CLanguageDlg.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "platform/CHelpService.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {
// "Language = X" with blanks: a rewrite of the file would drop them.
QString Ini(const QString& language) {
  QString ini = QString::fromUtf8(kDefaultIni);
  ini.replace(QStringLiteral("Language=English"), QStringLiteral("Language = ") + language);
  return ini;
}

enum Choice { English, Chinese };
enum Button { Ok, Cancel };
}  // namespace

class LanguageSwitchTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;
  QStringList started;
  // What the dialog showed checked when it opened.
  int shownChecked = -1;

  void Start(const QString& language) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(Ini(language));
    fx->CopyPack(language);
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
  }

  QByteArray IniBytes() const { return AppDirFixture::ReadFile(fx->AppPath(QStringLiteral("Chanset.ini"))); }

  // Runs the Language command; the dialog is answered once it is up.
  void RunCommand(int choice, int button) {
    QTimer::singleShot(0, this, [=] {
      auto* dlg = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      auto* english = dlg->Form().Control<QRadioButton>(1006);
      auto* chinese = dlg->Form().Control<QRadioButton>(1007);
      shownChecked = chinese->isChecked() ? Chinese : english->isChecked() ? English : -1;
      (choice == Chinese ? chinese : english)->click();
      dlg->Form().Control<QPushButton>(button == Ok ? 1 : 2)->click();
    });
    frame->OnCommand(ids::kLanguage);
  }

 private slots:
  void init() {
    started.clear();
    shownChecked = -1;
    CLanguageDlg::SetStarter([this](const QString& program) {
      started << program;
      return true;
    });
  }
  void cleanup() {
    CLanguageDlg::SetStarter({});
    CHelpService::SetHook({});
    app.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  void choices_data() {
    QTest::addColumn<QString>("running");
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("written");  // empty: the file stays as it was
    QTest::newRow("English, OK English") << "English" << int(English) << int(Ok) << "";
    QTest::newRow("English, OK Chinese") << "English" << int(Chinese) << int(Ok) << "Chinese";
    QTest::newRow("English, Cancel Chinese") << "English" << int(Chinese) << int(Cancel) << "";
    QTest::newRow("Chinese, OK Chinese") << "Chinese" << int(Chinese) << int(Ok) << "";
    QTest::newRow("Chinese, OK English") << "Chinese" << int(English) << int(Ok) << "English";
    QTest::newRow("Chinese, Cancel English") << "Chinese" << int(English) << int(Cancel) << "";
  }
  void choices() {
    QFETCH(QString, running);
    QFETCH(int, choice);
    QFETCH(int, button);
    QFETCH(QString, written);
    Start(running);
    QByteArray before = IniBytes();
    QVERIFY(frame->IsCommandEnabled(ids::kLanguage));
    RunCommand(choice, button);
    QCOMPARE(shownChecked, running == QLatin1String("Chinese") ? int(Chinese) : int(English));
    if (written.isEmpty()) {
      QCOMPARE(IniBytes(), before);
      QVERIFY(frame->isVisible());
      QVERIFY(started.isEmpty());
    } else {
      QVERIFY(IniBytes().contains(("\nLanguage=" + written + "\n").toUtf8()));
      // Nothing else of the file is lost on the way.
      QVERIFY(IniBytes().contains("Company=Kestrel Ridge Radio"));
      QVERIFY(!frame->isVisible());
      QCOMPARE(started, QStringList(fx->AppPath(QStringLiteral("Chanset"))));
    }
    // The running program keeps its language until it ends.
    QCOMPARE(chanset::g_bChinese, running == QLatin1String("Chinese"));
  }

  void cancelAtTheSavePromptKeepsThisProgramOnly() {
    Start(QStringLiteral("English"));
    frame->ActiveDocument()->SetModifiedFlag(true);
    boxes->answers << CMessageBox::IdCancel;
    RunCommand(Chinese, Ok);
    QCOMPARE(boxes->seen.size(), 1);  // the save prompt
    QCOMPARE(boxes->seen[0].buttons, CMessageBox::SaveDiscardCancel);
    QVERIFY(frame->isVisible());
    QVERIFY(started.isEmpty());
    QVERIFY(IniBytes().contains("\nLanguage=Chinese\n"));

    // The choice stays made for this view: OK with the running language
    // checked now restarts, once the prompt lets the window close.
    boxes->answers << CMessageBox::IdDiscard;
    RunCommand(English, Ok);
    QCOMPARE(shownChecked, int(English));
    QCOMPARE(boxes->seen.size(), 2);
    QVERIFY(!frame->isVisible());
    QCOMPARE(started.size(), 1);
    // OK with the running language wrote nothing back.
    QVERIFY(IniBytes().contains("\nLanguage=Chinese\n"));
  }

  void eachViewHasItsOwnDialog() {
    Start(QStringLiteral("English"));
    CChansetView* first = frame->ActiveView();
    CLanguageDlg* dlg = CLanguageDlg::ForView(first);
    QCOMPARE(CLanguageDlg::ForView(first), dlg);
    QPointer<CLanguageDlg> watch(dlg);
    app->OnFileNew();  // OK at "All data will be Cleared!" destroys the old window
    QVERIFY(watch.isNull());
    QVERIFY(CLanguageDlg::ForView(frame->ActiveView()) != nullptr);
    QVERIFY(!CLanguageDlg::ForView(frame->ActiveView())->Changed());
  }

  void unsavableSettingsFileIsReportedAndNothingRestarts() {
    Start(QStringLiteral("English"));
    // A folder in place of the file's rename target makes the save fail.
    QFile::remove(fx->AppPath(QStringLiteral("Chanset.ini")));
    QVERIFY(QDir(fx->AppPath(QString())).mkdir(QStringLiteral("Chanset.ini")));
    RunCommand(Chinese, Ok);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY(boxes->seen[0].text.contains(QStringLiteral("could not be saved")));
    QVERIFY(frame->isVisible());
    QVERIFY(started.isEmpty());
    QDir(fx->AppPath(QString())).rmdir(QStringLiteral("Chanset.ini"));
  }

  void f1ShowsTheLanguageTopic() {
    Start(QStringLiteral("English"));
    QList<int> topics;
    CHelpService::SetHook([&](const CHelpService::Request& r) { topics << r.topic; });
    QTimer::singleShot(0, this, [] {
      auto* dlg = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      QTest::keyClick(dlg->Form().Control(1006), Qt::Key_F1);
      QVERIFY(dlg->isVisible());  // help leaves the dialog open
      dlg->reject();
    });
    frame->OnCommand(ids::kLanguage);
    QCOMPARE(topics, QList<int>({ids::kLanguage}));
  }
};

QTEST_MAIN(LanguageSwitchTest)
#include "language_switch_test.moc"
