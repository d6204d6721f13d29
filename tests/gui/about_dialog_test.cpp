// The About box: its texts from the language section, its icon, how it
// closes, and the command that opens it.
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolBar>

#include "ShellTestSupport.h"
#include "app/CAboutDlg.h"
#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"
#include "platform/Version.h"

namespace {

QString Ini(const QString& language, const QString& englishKeys, const QString& chineseKeys = QString()) {
  return QStringLiteral("[Setup]\nLanguage=%1\nShowLang=1\nType1=KRR-45\nField1=400-470MHz\n"
                        "[English]\nCompany=Kestrel Ridge Radio\n%2[Chinese]\nCompany=隼岭无线电\n%3")
      .arg(language, englishKeys, chineseKeys);
}

const char* kEnglishKeys =
    "About Title=&About Chanset...\n"
    "Version=Chanset Version 1.0\n"
    "Copyrights=Copyright (C) 2024\n"
    "Copyrights Owner=Kestrel Ridge Radio Co.\n";
const char* kChineseKeys =
    "About Title=关于 Chanset(&A)...\n"
    "Version=Chanset 版本 1.0\n"
    "Copyrights=版权所有 (C) 2024\n"
    "Copyrights Owner=隼岭无线电有限公司\n";

QString LabelText(const CAboutDlg& dlg, int id) {
  auto* label = dlg.Form().Control<QLabel>(id);
  return label ? label->text() : QStringLiteral("<missing>");
}

}  // namespace

class AboutDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;

  void Start(const QString& language, const QString& ini, bool titleIcon = false) {
    cleanup();
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(ini);
    fx->CopyPack(language);
    if (titleIcon) QVERIFY(QFile::copy(QStringLiteral(CHANSET_SOURCE_DIR "/resources/title.ico"),
                                       fx->AppPath(QStringLiteral("title.ico"))));
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
  }

 private slots:
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
  }

  void texts_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("ok");
    QTest::newRow("English") << "English" << Ini("English", kEnglishKeys, kChineseKeys)
                             << "&About Chanset..."
                             << QStringList{"Chanset Version 1.0", "Copyright (C) 2024", "Kestrel Ridge Radio Co."}
                             << "OK";
    QTest::newRow("Chinese") << "Chinese" << Ini("Chinese", kEnglishKeys, kChineseKeys) << "关于 Chanset(&A)..."
                             << QStringList{"Chanset 版本 1.0", "版权所有 (C) 2024", "隼岭无线电有限公司"} << "确定";
    QTest::newRow("no keys") << "English" << Ini("English", QString()) << ""
                             << QStringList{"", "", ""} << "OK";
  }
  void texts() {
    QFETCH(QString, language);
    QFETCH(QString, ini);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    QFETCH(QString, ok);
    Start(language, ini);
    CAboutDlg dlg;
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(dlg.windowTitle(), caption);
    QCOMPARE(LabelText(dlg, CAboutDlg::IdVersion), lines[0]);
    QCOMPARE(LabelText(dlg, CAboutDlg::IdCopyrights), lines[1]);
    QCOMPARE(LabelText(dlg, CAboutDlg::IdOwner), lines[2]);
    // The program's version is a tooltip of the version line and the icon,
    // also where the site gives no version line.
    const QString version = QStringLiteral("Chanset ") + QString::fromLatin1(chanset::kVersion);
    QCOMPARE(dlg.Form().Control(CAboutDlg::IdVersion)->toolTip(), version);
    QCOMPARE(dlg.Form().Control(CAboutDlg::IdIcon)->toolTip(), version);
    QVERIFY(dlg.Form().Control(CAboutDlg::IdCopyrights)->toolTip().isEmpty());
    auto* button = dlg.Form().Control<QPushButton>(CAboutDlg::IdOk);
    QVERIFY(button);
    QCOMPARE(button->text(), ok);
    QVERIFY(button->isDefault());
    // Template 100: 235 x 73 dialog units.
    QCOMPARE(dlg.size(), dlg.Form().PixelSize());
  }

  void ampersands() {
    Start(QStringLiteral("English"),
          Ini("English", "Version=R&D build\nCopyrights=&Copyright && more\nCopyrights Owner=Kestrel &Ridge\n"));
    CAboutDlg dlg;
    QVERIFY(dlg.OnInitDialog());
    auto* version = dlg.Form().Control<QLabel>(CAboutDlg::IdVersion);
    auto* copyrights = dlg.Form().Control<QLabel>(CAboutDlg::IdCopyrights);
    auto* owner = dlg.Form().Control<QLabel>(CAboutDlg::IdOwner);
    // Shown as it is.
    QCOMPARE(version->textFormat(), Qt::PlainText);
    QCOMPARE(version->text(), QStringLiteral("R&D build"));
    // The mark is not shown; the letter after it is underlined, "&&" shows "&".
    QCOMPARE(copyrights->text(), QStringLiteral("<u>C</u>opyright &amp; more"));
    QCOMPARE(owner->text(), QStringLiteral("Kestrel <u>R</u>idge"));
  }

  void icon_data() {
    QTest::addColumn<bool>("titleIcon");
    QTest::newRow("title.ico") << true;
    QTest::newRow("icon 128") << false;
  }
  void icon() {
    QFETCH(bool, titleIcon);
    Start(QStringLiteral("English"), Ini("English", kEnglishKeys), titleIcon);
    CAboutDlg dlg;
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(dlg.ShowsTitleIcon(), titleIcon);
    auto* picture = dlg.Form().Control<QLabel>(CAboutDlg::IdIcon);
    QVERIFY(picture);
    QVERIFY(!picture->pixmap().isNull());
    if (titleIcon) {
      QIcon file(fx->AppPath(QStringLiteral("title.ico")));
      QCOMPARE(picture->pixmap().size(), file.availableSizes().first());
      QCOMPARE(picture->pixmap().toImage(), file.pixmap(file.availableSizes().first()).toImage());
    } else {
      QCOMPARE(picture->pixmap().toImage(), CLanguagePack::Icon(128).pixmap(32, 32).toImage());
    }
  }

  void closes_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close";
  }
  void closes() {
    QFETCH(QString, how);
    Start(QStringLiteral("English"), Ini("English", kEnglishKeys));
    CMainFrame* frame = app->MainFrame();
    QString seenTitle;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
      auto* dlg = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
      if (!dlg) return;
      seenTitle = dlg->windowTitle();
      modal = dlg->isModal();
      if (how == QLatin1String("OK"))
        QTest::mouseClick(dlg->Form().Control(CAboutDlg::IdOk), Qt::LeftButton);
      else if (how == QLatin1String("Enter"))
        QTest::keyClick(dlg, Qt::Key_Return);
      else if (how == QLatin1String("Esc"))
        QTest::keyClick(dlg, Qt::Key_Escape);
      else
        dlg->close();
    });
    QElapsedTimer guard;
    guard.start();
    // A safety net: should the key not close the box, reject it later so
    // the test fails instead of hanging.
    QTimer::singleShot(5000, this, [] {
      if (auto* dlg = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) dlg->done(99);
    });
    QVERIFY(frame->IsCommandEnabled(ids::kAppAbout));
    frame->OnCommand(ids::kAppAbout);
    QVERIFY2(guard.elapsed() < 4000, "the About box did not close");
    QVERIFY(modal);
    QCOMPARE(seenTitle, QStringLiteral("&About Chanset..."));
  }

  void commandOnMenuAndToolbar() {
    Start(QStringLiteral("English"), Ini("English", kEnglishKeys));
    CMainFrame* frame = app->MainFrame();
    bool foundButton = false;
    for (QAction* a : frame->ToolBar()->actions())
      if (a->property("chansetCommand").toInt() == ids::kAppAbout) {
        QVERIFY(a->isEnabled());
        foundButton = true;
      }
    QVERIFY(foundButton);
    // Also without a document window (menu 128).
    frame->DestroyDocumentWindow(frame->ActiveChildFrame());
    QVERIFY(!frame->ShowsDocumentMenu());
    QAction* item = nullptr;
    for (int i = 0; frame->MainMenuPopup(i); ++i)
      for (QAction* a : frame->MainMenuPopup(i)->actions())
        if (a->property("chansetCommand").toInt() == ids::kAppAbout) item = a;
    QVERIFY(item);
    QVERIFY(item->isEnabled());
    QCOMPARE(item->text(), QStringLiteral("&About"));
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
