// Start-up in each language, with missing and odd settings, and the command
// line.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QTreeWidget>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

namespace {
QStringList PopupTitles(const QMenuBar* bar) {
  QStringList titles;
  for (QAction* a : bar->actions()) titles << a->text();
  return titles;
}

QStringList ItemTexts(const QMenu* menu) {
  QStringList texts;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) texts << a->text();
  return texts;
}

QStringList TreeTexts(const QTreeWidget* tree) {
  QStringList texts;
  QTreeWidgetItem* root = tree->topLevelItem(0);
  texts << root->text(0);
  for (int i = 0; i < root->childCount(); ++i) texts << root->child(i)->text(0);
  return texts;
}

QString Ini(const QString& language, const QString& showLang = QStringLiteral("ShowLang=1")) {
  QString ini = IniIn(language);
  ini.replace(QStringLiteral("ShowLang=1"), showLang);
  return ini;
}
}  // namespace

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void english() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("English")));
    fx.CopyPack(QStringLiteral("English"));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    CMainFrame* frame = app.MainFrame();
    QVERIFY(frame->isVisible());
    QVERIFY(frame->windowState() & Qt::WindowMaximized);
    QCOMPARE(frame->normalGeometry().size(), QSize(900, 550));
    // The new document's refresh names the type and band from the registry.
    QCOMPARE(frame->windowTitle(), QStringLiteral("Chanset  [ Type:KRR-45  Fre:400-470MHz ]"));
    QVERIFY(!chanset::g_bChinese);
    QCOMPARE(QString::fromStdString(chanset::g_strHelpFile), QStringLiteral("enHelp.qch"));
    QCOMPARE(QString::fromStdString(chanset::g_strAppDir), QString::fromStdString(chanset::ApplicationDirectory()));
    // title.ico is not in this application directory: the pack's icon stays.
    QVERIFY(!frame->windowIcon().isNull());

    // A new document in its window; the document menu is shown.
    QCOMPARE(frame->ChildFrames().size(), 1);
    QCOMPARE(frame->ActiveDocument()->GetTitle(), QStringLiteral("Channel Information"));
    QVERIFY(frame->ShowsDocumentMenu());
    QCOMPARE(PopupTitles(frame->menuBar()),
             QStringList({"&File", "&Edit", "&Program", "&View", "&Setup", "&Help"}));
    QCOMPARE(ItemTexts(frame->DocMenuPopup(0)),
             QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S", "Save &As...",
                          "&Import Channels...", "&Export Channels...", "&Print...\tCtrl+P", "Print Pre&view",
                          "P&rint Setup...", "E&xit"}));
    QCOMPARE(ItemTexts(frame->DocMenuPopup(2)),
             QStringList({"&Read    Ctrl+R", "&Write   Ctrl+W", "&Compare with Radio", "Write to &Several Radios..."}));
    // About Title on the document menu; menu 128 keeps its own text.
    QCOMPARE(ItemTexts(frame->DocMenuPopup(5)), QStringList({"&About Chanset...", "&Write Log"}));
    QCOMPARE(ItemTexts(frame->MainMenuPopup(2)), QStringList({"&About", "&Write Log"}));
    QCOMPARE(ItemTexts(frame->DocMenuPopup(4)), QStringList({"&Com Setup", "&Language", "&Verify After Write"}));

    QCOMPARE(TreeTexts(frame->Tree()), QStringList({"Kestrel Ridge Radio", "Product Information",
                                                     "Channel Information", "Optional Features"}));
    QVERIFY(frame->Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(frame->Tree()->currentItem(), frame->Tree()->topLevelItem(0));
    QVERIFY(frame->findChildren<QLabel*>().size() >= 4);
    QStringList panes;
    for (QLabel* l : frame->statusBar()->findChildren<QLabel*>()) panes << l->text();
    QCOMPARE(panes, QStringList({"Ready", "CAP", "NUM", "SCRL"}));

    // From step 12 on, message boxes carry the company text.
    QCOMPARE(CMessageBox::Caption(), QStringLiteral("Kestrel Ridge Radio"));
    QVERIFY(boxes.seen.isEmpty());
  }

  void chinese() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("Chinese")));
    fx.CopyPack(QStringLiteral("Chinese"));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    CMainFrame* frame = app.MainFrame();
    QVERIFY(chanset::g_bChinese);
    QCOMPARE(QString::fromStdString(chanset::g_strHelpFile), QStringLiteral("chHelp.qch"));
    QCOMPARE(frame->ActiveDocument()->GetTitle(), QString::fromUtf8("信道信息"));
    QCOMPARE(PopupTitles(frame->menuBar()).first(), QString::fromUtf8("文件(&F)"));
    QCOMPARE(ItemTexts(frame->DocMenuPopup(5)),
             QStringList({QString::fromUtf8("关于 Chanset(&A)..."), QString::fromUtf8("写频记录(&W)")}));
    QCOMPARE(TreeTexts(frame->Tree()),
             QStringList({QString::fromUtf8("隼岭无线电"), QString::fromUtf8("类型设置"),
                          QString::fromUtf8("信道信息"), QString::fromUtf8("可选功能")}));
    QCOMPARE(CMessageBox::Caption(), QString::fromUtf8("隼岭无线电"));
  }

  // The message names the file that was looked for: the language pack, or
  // the settings file when there is none (which is then not created).
  void missingPack_data() {
    QTest::addColumn<bool>("writeIni");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    const QString pack = QStringLiteral("Load language DLL fail\nThe language pack could not be loaded: ");
    QTest::newRow("unknown") << true << "Klingon" << pack << "Klingon.rcc";
    QTest::newRow("empty") << true << "" << pack << ".rcc";
    QTest::newRow("chinese missing") << true << "Chinese"
                                     << QString::fromUtf8("加载语言链接库失败\n无法加载语言包：") << "Chinese.rcc";
    QTest::newRow("no Chanset.ini") << false << ""
                                    << "Load language DLL fail\nThe settings file was not found: "
                                    << "Chanset.ini";
  }
  void missingPack() {
    QFETCH(bool, writeIni);
    QFETCH(QString, language);
    QFETCH(QString, message);
    QFETCH(QString, file);
    AppDirFixture fx;
    if (writeIni) fx.WriteIni(Ini(language));
    fx.CopyPack(QStringLiteral("English"));
    BoxRecorder boxes;
    {
      CChansetApp app;
      QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::NoLanguagePack);
      QVERIFY(!app.MainFrame());
      QCOMPARE(boxes.seen.size(), 1);
      QCOMPARE(boxes.seen[0].text, message + fx.AppPath(file));
      QCOMPARE(boxes.seen[0].buttons, CMessageBox::Ok);
      QCOMPARE(boxes.seen[0].caption, QStringLiteral("Chanset"));
      for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!w->isVisible());
    }
    // The settings object saves what changed at exit: nothing did.
    chanset::g_settingsFile().Save(false);
    QCOMPARE(QFile::exists(fx.AppPath(QStringLiteral("Chanset.ini"))), writeIni);
  }

  // "chinese" is not "Chinese": English built-in texts and help, but the
  // pack chinese.rcc and the settings section Chinese.
  void lowerCaseChinese() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("chinese")));
    fx.CopyPack(QStringLiteral("Chinese"), QStringLiteral("chinese"));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    CMainFrame* frame = app.MainFrame();
    QVERIFY(!chanset::g_bChinese);
    QCOMPARE(QString::fromStdString(chanset::g_strHelpFile), QStringLiteral("enHelp.qch"));
    QVERIFY(CLanguagePack::FilePath().endsWith(QStringLiteral("/chinese.rcc")));
    QCOMPARE(frame->ActiveDocument()->GetTitle(), QStringLiteral("Channel Information"));
    QCOMPARE(TreeTexts(frame->Tree()).mid(1),
             QStringList({"Product Information", "Channel Information", "Optional Features"}));
    QCOMPARE(TreeTexts(frame->Tree()).first(), QString::fromUtf8("隼岭无线电"));
    // The pack's texts are Chinese.
    QCOMPARE(PopupTitles(frame->menuBar()).first(), QString::fromUtf8("文件(&F)"));
  }

  void lowerCaseChineseNeedsItsOwnPackName() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("chinese")));
    fx.CopyPack(QStringLiteral("Chinese"));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::NoLanguagePack);
    QVERIFY(boxes.seen.value(0).text.startsWith(QStringLiteral("Load language DLL fail\n")));
    QVERIFY(boxes.seen.value(0).text.endsWith(fx.AppPath(QStringLiteral("chinese.rcc"))));
  }

  // No display, or one that cannot be opened: one line on stderr and exit
  // status 2, never an abort.
  void unusableDisplay_data() {
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("named");
    QTest::newRow("X display that is not there") << QStringList{"DISPLAY=:97"} << "DISPLAY=:97";
    QTest::newRow("xcb asked for, no DISPLAY") << QStringList{"QT_QPA_PLATFORM=xcb"} << "platform xcb";
    QTest::newRow("no display at all") << QStringList{} << "DISPLAY and WAYLAND_DISPLAY are not set";
  }
  void unusableDisplay() {
    QFETCH(QStringList, env);
    QFETCH(QString, named);
    QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) system.remove(QString::fromLatin1(name));
    for (const QString& kv : env) system.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    QProcess chanset;
    chanset.setProcessEnvironment(system);
    chanset.start(QStringLiteral(CHANSET_APP_DIR "/Chanset"), {});
    QVERIFY(chanset.waitForFinished(30000));
    QCOMPARE(chanset.exitStatus(), QProcess::NormalExit);
    QCOMPARE(chanset.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(chanset.readAllStandardError());
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
    QVERIFY2(err.contains(named), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("xvfb-run")), qPrintable(err));
  }

  void showLang_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("keeps");
    QTest::newRow("1") << "ShowLang=1" << true;
    QTest::newRow("0") << "ShowLang=0" << false;
    QTest::newRow("absent") << "" << false;
    QTest::newRow("abc") << "ShowLang=abc" << false;
    QTest::newRow("2x") << "ShowLang=2x" << true;
  }
  void showLang() {
    QFETCH(QString, line);
    QFETCH(bool, keeps);
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("English"), line));
    fx.CopyPack(QStringLiteral("English"));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    QStringList setup = ItemTexts(app.MainFrame()->DocMenuPopup(4));
    QCOMPARE(setup.contains(QStringLiteral("&Language")), keeps);
    QVERIFY(setup.contains(QStringLiteral("&Com Setup")));
  }

  // A third language is a folder of its own; nothing in the program names it.
  void thirdLanguageFromAFolder() {
    AppDirFixture fx;
    QTemporaryDir src;
    QDir english(QStringLiteral(CHANSET_SOURCE_DIR "/resources/lang/English"));
    QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
    QDirIterator it(english.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QString file = it.next();
      QString rel = english.relativeFilePath(file);
      QByteArray bytes = AppDirFixture::ReadFile(file);
      if (rel == QLatin1String("strings.json")) bytes.replace("\"Ready\"", "\"Prêt\"");
      if (rel == QLatin1String("menus.json")) bytes.replace("\"&File\"", "\"&Fichier\"");
      QDir().mkpath(QFileInfo(src.filePath(rel)).path());
      AppDirFixture::WriteFile(src.filePath(rel), bytes);
      qrc += QStringLiteral("<file alias=\"%1\">%2</file>\n").arg(rel, src.filePath(rel));
    }
    qrc += QStringLiteral("</qresource></RCC>\n");
    AppDirFixture::WriteFile(src.filePath(QStringLiteral("French.qrc")), qrc.toUtf8());
    QCOMPARE(QProcess::execute(QStringLiteral(CHANSET_RCC),
                               {QStringLiteral("--binary"), src.filePath(QStringLiteral("French.qrc")),
                                QStringLiteral("-o"), fx.AppPath(QStringLiteral("French.rcc"))}),
             0);
    fx.WriteIni(Ini(QStringLiteral("French")));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    CMainFrame* frame = app.MainFrame();
    QVERIFY(!chanset::g_bChinese);
    QCOMPARE(PopupTitles(frame->menuBar()).first(), QStringLiteral("&Fichier"));
    QCOMPARE(frame->statusBar()->findChildren<QLabel*>().first()->text(), QString::fromUtf8("Prêt"));
    QCOMPARE(TreeTexts(frame->Tree()).first(), QString::fromUtf8("Radio Crête"));
    QCOMPARE(ItemTexts(frame->DocMenuPopup(5)), QStringList({QString::fromUtf8("À &propos"), "&Write Log"}));
  }

  void commandLineOpensTheFile() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("English"), QStringLiteral("ShowLang=0")));
    fx.CopyPack(QStringLiteral("English"));
    AppDirFixture::WriteFile(fx.WorkPath(QStringLiteral("radio.dat")), DatBytes('\x22'));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({fx.WorkPath(QStringLiteral("radio.dat"))}), CChansetApp::StartResult::Ok);
    CMainFrame* frame = app.MainFrame();
    QCOMPARE(frame->ChildFrames().size(), 1);
    CChansetDoc* doc = frame->ActiveDocument();
    QCOMPARE(doc->GetTitle(), QStringLiteral("radio.dat"));
    QCOMPARE(doc->Image()[100], std::uint8_t(0x22));
    QVERIFY(!chanset::g_bFreshDocument);
    // The document menu got its About text and lost Language here too.
    QCOMPARE(ItemTexts(frame->DocMenuPopup(5)), QStringList({"&About Chanset...", "&Write Log"}));
    QVERIFY(!ItemTexts(frame->DocMenuPopup(4)).contains(QStringLiteral("&Language")));
    QVERIFY(boxes.seen.isEmpty());
  }

  void commandLineWithABadFileEndsStartUp() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("English")));
    fx.CopyPack(QStringLiteral("English"));
    QByteArray bytes = DatBytes();
    bytes[3] = '4';
    AppDirFixture::WriteFile(fx.WorkPath(QStringLiteral("bad.dat")), bytes);
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({fx.WorkPath(QStringLiteral("bad.dat"))}), CChansetApp::StartResult::CommandFailed);
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].text, QStringLiteral("Data Format Error"));
    QVERIFY(!app.MainFrame()->isVisible());
  }

  void titleIconFromTheApplicationDirectory() {
    AppDirFixture fx;
    fx.WriteIni(Ini(QStringLiteral("English")));
    fx.CopyPack(QStringLiteral("English"));
    QVERIFY(QFile::copy(QStringLiteral(CHANSET_SOURCE_DIR "/resources/title.ico"), fx.AppPath(QStringLiteral("title.ico"))));
    BoxRecorder boxes;
    CChansetApp app;
    QCOMPARE(app.InitInstance({}), CChansetApp::StartResult::Ok);
    // title.ico carries a 48 x 48 picture; the pack's icon 128 does not.
    QVERIFY(app.MainFrame()->windowIcon().availableSizes().contains(QSize(48, 48)));
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
