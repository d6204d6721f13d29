// Help topics by number from the language's .qch file, and the temporary
// folder of the help engines, which goes when the program quits.
#include <QtTest>

#include "platform/AppDir.h"
#include "platform/CHelpService.h"
#include "platform/Globals.h"

class HelpServiceTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    chanset::SetApplicationDirectory(CHANSET_APP_DIR);
    CHelpService::ClearLastRequest();
  }
  void cleanup() { CHelpService::SetHook({}); }

  void lookupByNumber() {
    QString qch = QStringLiteral(CHANSET_APP_DIR "/enHelp.qch");
    QUrl page = CHelpService::Lookup(qch, 1000);
    QVERIFY(page.isValid());
    QVERIFY(page.path().endsWith(QStringLiteral(".html")));
    QVERIFY(CHelpService::Lookup(qch, 987654).isEmpty());
    QVERIFY(CHelpService::Lookup(QStringLiteral(CHANSET_APP_DIR "/noHelp.qch"), 1000).isEmpty());
  }

  void showTopicUsesTheLanguagesFile_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << "English" << "enHelp.qch";
    QTest::newRow("Chinese") << "Chinese" << "chHelp.qch";
    QTest::newRow("other") << "French" << "enHelp.qch";
  }
  void showTopicUsesTheLanguagesFile() {
    QFETCH(QString, language);
    QFETCH(QString, file);
    chanset::SetLanguage(language.toStdString());
    QList<CHelpService::Request> seen;
    CHelpService::SetHook([&](const CHelpService::Request& r) { seen << r; });
    CHelpService::ShowTopic(1000);
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].topic, 1000);
    QCOMPARE(seen[0].helpFile, QStringLiteral(CHANSET_APP_DIR "/") + file);
    QVERIFY(!seen[0].document.isEmpty());
    QCOMPARE(CHelpService::LastRequest()->topic, 1000);
    chanset::SetLanguage("");
  }

  // Last: it ends the application's event loop the way closing the program does.
  void collectionFolderGoesWhenTheProgramQuits() {
    CHelpService::ShowTopic(1000);
    const QString folder = CHelpService::CollectionFolder();
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!QDir(folder).isEmpty());
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec();
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(CHelpService::CollectionFolder().isEmpty());
    // Help still answers afterwards.
    QVERIFY(!CHelpService::Lookup(QStringLiteral(CHANSET_APP_DIR "/enHelp.qch"), 1000).isEmpty());
  }
};

QTEST_MAIN(HelpServiceTest)
#include "help_service_test.moc"
