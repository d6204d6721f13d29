// The help files cover every topic the program asks for, and the viewer
// shows the topic's page.
#include <QHelpEngineCore>
#include <QTextBrowser>
#include <QtTest>

#include "editor/CChansetView.h"
#include "platform/AppDir.h"
#include "platform/CHelpService.h"
#include "platform/CHelpViewer.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {
QString HelpFile(const char* name) { return QStringLiteral(CHANSET_APP_DIR "/") + QLatin1String(name); }

// Every topic number the program can ask for.
QList<int> ProgramTopics() {
  QList<int> topics;
  // Menu commands, by their ids.
  for (int menu : {ids::kMainMenu, ids::kDocMenu})
    for (const MenuItem& popup : CLanguagePack::Menu(menu).popups)
      for (const MenuItem& item : popup.items)
        if (!item.separator) topics << item.id;
  // Windows and dialogs: 0x10000 plus the resource id.
  for (int id : {ids::kAboutDialog, ids::kChannelForm, ids::kMainMenu, ids::kDocMenu, ids::kBarDialog,
                 ids::kProcessDialog, ids::kOptionalFeaturesDialog, ids::kLanguageDialog, ids::kProductInfoDialog,
                 ids::kPowerAdjustDialog, ids::kPortSettingDialog})
    topics << 0x10000 + id;
  // The focused control of the channel view and of the two dialogs with
  // context help.
  topics << CChansetView::IdGrid << CChansetView::IdRxEdit << CChansetView::IdTxEdit << CChansetView::IdDecList
         << CChansetView::IdEncList << CChansetView::IdWidthList << CChansetView::IdScanList
         << CChansetView::IdBusyList << CChansetView::IdPowerList;
  for (int dialog : {ids::kOptionalFeaturesDialog, ids::kProductInfoDialog})
    for (const DialogControl& c : CLanguagePack::Dialog(dialog).controls)
      if (c.id > 2) topics << c.id;  // 1 and 2 are OK and Cancel
  topics << ids::kLanguage;
  std::sort(topics.begin(), topics.end());
  topics.erase(std::unique(topics.begin(), topics.end()), topics.end());
  return topics;
}
}  // namespace

class HelpViewerTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    chanset::SetApplicationDirectory(CHANSET_APP_DIR);
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
  }
  void cleanup() {
    CHelpViewer::Destroy();
    chanset::SetLanguage("");
  }

  void everyTopicHasAPage_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << HelpFile("enHelp.qch");
    QTest::newRow("Chinese") << HelpFile("chHelp.qch");
  }
  void everyTopicHasAPage() {
    QFETCH(QString, file);
    QHelpEngineCore* engine = CHelpService::Engine(file);
    QVERIFY(engine);
    QList<int> topics = ProgramTopics();
    QVERIFY(topics.size() > 40);
    for (int topic : topics) {
      QUrl page = CHelpService::Lookup(file, topic);
      QVERIFY2(!page.isEmpty(), qPrintable(QStringLiteral("no page for %1").arg(topic)));
      QUrl document = page.adjusted(QUrl::RemoveFragment);
      QString html = QString::fromUtf8(engine->fileData(document));
      QVERIFY2(html.contains(QLatin1String("<h1>")), qPrintable(page.toString()));
      // The anchor a keyword points at exists on its page.
      if (page.hasFragment())
        QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(page.fragment())), qPrintable(page.toString()));
    }
  }

  void viewerOpensTheTopicsPage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("English language") << "English" << int(ids::kLanguage) << "language.html" << "Languages";
    QTest::newRow("English Rx box") << "English" << 2127 << "grid.html" << "The channel grid";
    QTest::newRow("English unknown") << "English" << 4242 << "index.html" << "Chanset Help";
    QTest::newRow("Chinese language") << "Chinese" << int(ids::kLanguage) << "language.html" << "语言";
    QTest::newRow("Chinese unknown") << "Chinese" << 4242 << "index.html" << "Chanset 帮助";
  }
  void viewerOpensTheTopicsPage() {
    QFETCH(QString, language);
    QFETCH(int, topic);
    QFETCH(QString, page);
    QFETCH(QString, title);
    chanset::SetLanguage(language.toStdString());
    CHelpService::SetViewer(&CHelpViewer::ShowRequest);
    CHelpService::ShowTopic(topic);
    CHelpService::SetViewer({});
    CHelpViewer* viewer = CHelpViewer::Instance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->CurrentPage().scheme(), QStringLiteral("qthelp"));
    QCOMPARE(viewer->CurrentPage().fileName(), page);
    QCOMPARE(viewer->CurrentTitle(), title);
    QVERIFY(viewer->windowTitle().startsWith(title));
  }

  void linksAndHistoryStayInTheHelpFile() {
    chanset::SetLanguage("English");
    CHelpService::SetViewer(&CHelpViewer::ShowRequest);
    CHelpService::ShowTopic(ids::kLanguage);
    CHelpViewer* viewer = CHelpViewer::Instance();
    QVERIFY(viewer);
    QTextBrowser* browser = viewer->Browser();
    // A relative link of the page resolves inside the help file.
    emit browser->anchorClicked(QUrl(QStringLiteral("grid.html#rx")));
    QCOMPARE(viewer->CurrentPage().fileName(), QStringLiteral("grid.html"));
    QCOMPARE(viewer->CurrentTitle(), QStringLiteral("The channel grid"));
    QVERIFY(browser->isBackwardAvailable());
    browser->backward();
    QCOMPARE(viewer->CurrentPage().fileName(), QStringLiteral("language.html"));
    // A second request reuses the one window.
    CHelpService::ShowTopic(1000);
    QCOMPARE(CHelpViewer::Instance(), viewer);
    QCOMPARE(viewer->CurrentPage().fileName(), QStringLiteral("grid.html"));
    CHelpService::SetViewer({});
  }

  void missingHelpFileSaysSo() {
    CHelpService::Request request;
    request.topic = 1000;
    request.helpFile = HelpFile("noSuchHelp.qch");
    CHelpViewer::ShowRequest(request);
    CHelpViewer* viewer = CHelpViewer::Instance();
    QVERIFY(viewer);
    QVERIFY(viewer->Browser()->toPlainText().contains(QStringLiteral("could not be opened")));
    QVERIFY(viewer->Browser()->toPlainText().contains(QStringLiteral("noSuchHelp.qch")));
  }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
