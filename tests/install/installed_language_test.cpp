// The Language switch of an installed program whose files its user may not
// change: the choice goes into the user's own copy of Chanset.ini, the
// installed file stays as it is, and the program started again comes up in
// the new language. The program's folder is the installed one; the test
// runs as an ordinary user (see Unprivileged.h), as a desktop user would.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "../gui/ShellTestSupport.h"
#include "tests/unit/Unprivileged.h"
#include "InstallSupport.h"
#include "app/CChansetApp.h"
#include "app/CLanguageDlg.h"
#include "app/CMainFrame.h"
#include "platform/AppDir.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {
std::string g_prefix;  // the installed tree's prefix
QString g_home;        // the user's home folder

QString Installed(const QString& relative) { return QString::fromStdString(g_prefix + "/") + relative; }

enum Choice { English, Chinese };
}  // namespace

class InstalledLanguageTest : public QObject {
  Q_OBJECT

  QByteArray m_installedIni;
  std::unique_ptr<BoxRecorder> m_boxes;
  std::unique_ptr<CChansetApp> m_app;
  QStringList m_started;

  QString UserCopy() const { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Chanset/Chanset.ini"); }

  // A fresh configuration folder for the user, writable or not.
  void NewConfigFolder(const QString& name, bool writable) {
    QVERIFY(QDir(g_home).mkdir(name));
    const QString path = QDir(g_home).filePath(name);
    if (!writable) QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    qputenv("XDG_CONFIG_HOME", path.toUtf8());
  }

  void Start() {
    m_boxes = std::make_unique<BoxRecorder>();
    m_app = std::make_unique<CChansetApp>();
    QCOMPARE(m_app->InitInstance({}), CChansetApp::StartResult::Ok);
    QVERIFY(QTest::qWaitForWindowExposed(m_app->MainFrame()));
  }

  // Setup -> Language, the radio button clicked and OK pressed.
  void SwitchTo(int choice) {
    QTimer::singleShot(0, this, [=] {
      auto* dlg = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      QTest::mouseClick(dlg->Form().Control<QRadioButton>(choice == Chinese ? 1007 : 1006), Qt::LeftButton);
      QTest::mouseClick(dlg->Form().Control<QPushButton>(1), Qt::LeftButton);
    });
    m_app->MainFrame()->OnCommand(ids::kLanguage);
  }

 private slots:
  void initTestCase() {
    chanset::SetApplicationDirectory(g_prefix + "/lib/chanset");
    // What this test is about: the installed folder is not the user's.
    QVERIFY(access((g_prefix + "/lib/chanset").c_str(), W_OK) != 0);
    QVERIFY(access((g_prefix + "/etc/chanset/Chanset.ini").c_str(), W_OK) != 0);
    m_installedIni = AppDirFixture::ReadFile(Installed(QStringLiteral("etc/chanset/Chanset.ini")));
    QVERIFY(m_installedIni.contains("\nLanguage=English\n"));
  }
  void init() {
    m_started.clear();
    CLanguageDlg::SetStarter([this](const QString& program) {
      m_started << program;
      return true;
    });
  }
  void cleanup() {
    CLanguageDlg::SetStarter({});
    m_app.reset();
    m_boxes.reset();
    // The installed file never changes.
    QCOMPARE(AppDirFixture::ReadFile(Installed(QStringLiteral("etc/chanset/Chanset.ini"))), m_installedIni);
  }

  void switches_data() {
    QTest::addColumn<QString>("copy");          // the user's copy before, "" for none
    QTest::addColumn<bool>("folderWritable");   // the user's configuration folder
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("written");       // Language in the user's copy after, "" for no copy
    QTest::newRow("first switch creates the copy") << "" << true << int(Chinese) << "Chinese";
    QTest::newRow("a later switch changes the copy") << "Chinese" << true << int(English) << "English";
    QTest::newRow("no folder for the copy: nothing changes") << "" << false << int(Chinese) << "";
  }
  void switches() {
    QFETCH(QString, copy);
    QFETCH(bool, folderWritable);
    QFETCH(int, choice);
    QFETCH(QString, written);
    NewConfigFolder(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')),
                    folderWritable);
    if (!copy.isEmpty()) {
      QVERIFY(QDir().mkpath(QFileInfo(UserCopy()).path()));
      QByteArray text = m_installedIni;
      text.replace("\nLanguage=English\n", "\nLanguage=" + copy.toUtf8() + "\n");
      AppDirFixture::WriteFile(UserCopy(), text);
    }
    Start();
    QCOMPARE(chanset::g_bChinese, copy == QLatin1String("Chinese"));
    SwitchTo(choice);
    if (written.isEmpty()) {
      QVERIFY(!QFile::exists(UserCopy()));
      QCOMPARE(m_boxes->seen.size(), 1);
      QVERIFY2(m_boxes->seen[0].text.contains(QStringLiteral("could not be saved")), qPrintable(m_boxes->seen[0].text));
      QVERIFY(m_started.isEmpty());
      QVERIFY(m_app->MainFrame()->isVisible());
      return;
    }
    const QByteArray after = AppDirFixture::ReadFile(UserCopy());
    QVERIFY2(after.contains("\nLanguage=" + written.toUtf8() + "\n"), after.constData());
    // The rest of the site's settings came along.
    QVERIFY(after.contains("Company=Kestrel Ridge Radio\n"));
    QVERIFY(m_boxes->seen.isEmpty());
    // The program started again is the installed one.
    QCOMPARE(m_started, QStringList(Installed(QStringLiteral("lib/chanset/Chanset"))));
  }

  void theProgramStartedAgainSpeaksTheNewLanguage() {
    NewConfigFolder(QStringLiteral("restart"), true);
    Start();
    SwitchTo(Chinese);
    QCOMPARE(m_started.size(), 1);
    // Started for real, it prints its report in Chinese.
    QTemporaryDir work;
    const std::string dat = work.filePath(QStringLiteral("x.dat")).toStdString();
    const std::string pdf = work.filePath(QStringLiteral("x.pdf")).toStdString();
    QCOMPARE(installtest::RunProgram({g_prefix + "/bin/chanset-cli", "new", dat}).status, 0);
    installtest::Outcome printed = installtest::RunProgram({m_started[0].toStdString(), "--print-pdf", dat, pdf});
    QVERIFY2(printed.status == 0, printed.err.c_str());
    installtest::Outcome text = installtest::RunProgram({"pdftotext", pdf, "-"});
    QVERIFY2(QString::fromStdString(text.out).contains(QString::fromUtf8("可选功能")), text.out.c_str());
  }
};

int main(int argc, char** argv) {
  installtest::InstalledTree tree;
  std::string log;
  if (!tree.Install(log)) {
    std::fprintf(stderr, "install failed:\n%s", log.c_str());
    return 1;
  }
  g_prefix = tree.Path("");
  g_prefix.pop_back();
  // Installed by someone else: the folders and the site's settings are
  // read-only to the user (root's files are so anyway for "nobody").
  for (const char* dir : {"lib/chanset", "etc/chanset"}) chmod(tree.Path(dir).c_str(), 0555);
  chmod(tree.Path("etc/chanset/Chanset.ini").c_str(), 0444);
  testutil::ChildResult r = testutil::RunUnprivileged([&](std::string&) {
    // A home and a runtime folder of the user's own.
    testutil::TempDir home;
    g_home = QString::fromStdString(home.Path());
    const std::string runtime = home.File("run");
    mkdir(runtime.c_str(), 0700);
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    QApplication app(argc, argv);
    InstalledLanguageTest test;
    return QTest::qExec(&test, argc, argv);
  });
  return r.status;
}

#include "installed_language_test.moc"
