// Commands as the user meets them: menu items, context menus and their
// states all come from the main window's command table, registered through
// CCommandHost without the frame's own header.
#include <QAction>
#include <QMenu>
#include <QToolBar>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "platform/CCommandHost.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CNavigatorBar.h"
#include "editor/CChansetView.h"
#include "platform/CHelpService.h"
#include "platform/ResourceIds.h"

using chanset::Command;

namespace {
constexpr int kNewCommand = 32800;  // the first number of the added-commands range

QStringList Texts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return texts;
}

QAction* ItemOf(const QMenu* menu, int position) { return menu->actions().at(position); }
}  // namespace

class CommandUiTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;
  CCommandHost* host = nullptr;  // what the subsystems see of the frame

  // Opens `menu` as a popup and clicks its item at `position`.
  static void Click(QMenu* menu, int position) {
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(ItemOf(menu, position)).center());
  }

 private slots:
  void init() {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(QString::fromUtf8(kDefaultIni));
    fx->CopyPack(QStringLiteral("English"));
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    host = CCommandHost::Of(frame->ActiveView());
    QCOMPARE(host, static_cast<CCommandHost*>(frame));
  }
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
    CHelpService::SetHook({});
  }

  void viewCommandRunsOnTheActiveViewOnly() {
    QList<CChansetView*> ran;
    host->AddViewCommand(kNewCommand, [&](CChansetView* view) { ran << view; });
    QVERIFY(host->IsCommandEnabled(kNewCommand));
    host->OnCommand(kNewCommand);
    QCOMPARE(ran, QList<CChansetView*>({frame->ActiveView()}));

    // A second document window: the command follows the active one.
    QString path = fx->WorkPath(QStringLiteral("second.dat"));
    AppDirFixture::WriteFile(path, DatBytes());
    QVERIFY(app->OpenDocumentFile(path));
    host->OnCommand(kNewCommand);
    QCOMPARE(ran.size(), 2);
    QCOMPARE(ran.last(), frame->ActiveView());
    QVERIFY(ran.first() != ran.last());

    // Without any document window it is disabled and does not run.
    while (CChildFrame* child = frame->ActiveChildFrame()) frame->DestroyDocumentWindow(child);
    QVERIFY(!host->IsCommandEnabled(kNewCommand));
    host->OnCommand(kNewCommand);
    QCOMPARE(ran.size(), 2);
  }

  void predicatesDriveTheItemsAsShown() {
    bool allowed = false, on = false;
    host->AddCommand(kNewCommand, Command([&] { on = !on; }).Enabled([&] { return allowed; }).Checked([&] {
                       return on;
                     }));
    QMenu* menu = host->CreateContextMenu({kNewCommand}, frame);
    QAction* item = ItemOf(menu, 0);
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isEnabled());
    Click(menu, 0);
    QVERIFY(!on);  // a disabled item runs nothing
    menu->close();

    allowed = true;
    Click(menu, 0);  // showing the menu refreshes it; the click runs it
    QTRY_VERIFY(on);
    QVERIFY(item->isChecked());
    Click(menu, 0);
    QTRY_VERIFY(!on);
    QVERIFY(!item->isChecked());
  }

  void contextMenuFromIds() {
    QMenu* menu = host->CreateContextMenu({ids::kFileSave, 0, ids::kControlBar, ids::kRead}, frame);
    QCOMPARE(Texts(menu), QStringList({"&Save\tCtrl+S", "-", "&Control Bar", "&Read    Ctrl+R"}));
    QCOMPARE(ItemOf(menu, 0)->statusTip(), QStringLiteral("Save the active document"));
    QVERIFY(ItemOf(menu, 2)->isChecked());
    Click(menu, 2);
    QTRY_VERIFY(frame->NavigatorBar()->isHidden());
    QVERIFY(!host->IsCommandChecked(ids::kControlBar));

    // The menu's items go with it; the table keeps working without them.
    delete menu;
    host->Commands().SetText(ids::kFileSave, "&Keep");
    host->UpdateCommandUI();
    host->Commands().SetText(ids::kFileSave, "");
  }

  void runTimeTextRenamesEveryMenuItem() {
    QMenu* file = frame->DocMenuPopup(0);
    QMenu* mainFile = frame->MainMenuPopup(0);
    QMenu* context = host->CreateContextMenu({ids::kFileNew, ids::kRead}, frame);
    host->Commands().SetText(ids::kFileNew, "&New Channels");
    host->Commands().SetText(ids::kRead, "&Read Again");
    // The pack's shortcut after the tab stays; "Read" has none.
    QCOMPARE(ItemOf(file, 0)->text(), QStringLiteral("&New Channels\tCtrl+N"));
    QCOMPARE(ItemOf(mainFile, 0)->text(), QStringLiteral("&New Channels\tCtrl+N"));
    QCOMPARE(Texts(context), QStringList({"&New Channels\tCtrl+N", "&Read Again"}));
    QCOMPARE(ItemOf(frame->DocMenuPopup(2), 0)->text(), QStringLiteral("&Read Again"));
    // Buttons keep their tooltip text.
    QCOMPARE(frame->ToolBar()->actions().first()->text(), QStringLiteral("New"));
    // A text with its own tab replaces the whole item text.
    host->Commands().SetText(ids::kFileNew, "&Fresh\tAlt+N");
    QCOMPARE(ItemOf(file, 0)->text(), QStringLiteral("&Fresh\tAlt+N"));

    host->Commands().SetText(ids::kFileNew, "");
    host->Commands().SetText(ids::kRead, "");
    QCOMPARE(ItemOf(file, 0)->text(), QStringLiteral("&New\tCtrl+N"));
    QCOMPARE(Texts(context), QStringList({"&New\tCtrl+N", "&Read    Ctrl+R"}));
  }

  void f1OnAHighlightedItemAsksForTheCommandsTopic_data() {
    QTest::addColumn<bool>("context");
    QTest::newRow("menu bar") << false;
    QTest::newRow("context menu") << true;
  }
  void f1OnAHighlightedItemAsksForTheCommandsTopic() {
    QFETCH(bool, context);
    QMenu* menu = context ? host->CreateContextMenu({ids::kControlBar, ids::kLanguage}, frame) : frame->DocMenuPopup(4);
    int ran = 0;
    host->AddViewCommand(ids::kLanguage, [&](CChansetView*) { ++ran; });
    QList<int> topics;
    CHelpService::SetHook([&](const CHelpService::Request& r) { topics << r.topic; });
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    menu->setActiveAction(ItemOf(menu, 1));
    QTest::keyClick(menu, Qt::Key_F1);
    QCOMPARE(topics, QList<int>({ids::kLanguage}));  // the second item of both
    QCOMPARE(ran, 0);  // the key asked for help and did not run the item
    menu->close();
  }
};

QTEST_MAIN(CommandUiTest)
#include "command_ui_test.moc"
