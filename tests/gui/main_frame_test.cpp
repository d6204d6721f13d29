// The main window at work: File New, Open, Close, Save and the save prompt,
// the navigation tree, the control bar and the workspace background (and
// which picture it is).
#include <QAction>
#include "app/CNavigatorBar.h"
#include <QMdiArea>
#include <QMenuBar>
#include <QTreeWidget>
#include <sys/stat.h>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CWorkspaceClient.h"
#include "app/TreeDispatch.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

using chanset::TreeAction;

class MainFrameTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<FileDialogRecorder> files;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;

  void Start(const QString& ini = QString::fromUtf8(kDefaultIni), const QString& pack = QStringLiteral("English")) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(ini);
    fx->CopyPack(pack);
    boxes = std::make_unique<BoxRecorder>();
    files = std::make_unique<FileDialogRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
  }

  QString Write(const QString& name, const QByteArray& bytes) {
    QString path = fx->WorkPath(name);
    AppDirFixture::WriteFile(path, bytes);
    return path;
  }

  // Points the mouse at a tree item (or away from the tree) and selects
  // `select`, as a click or an arrow key would.
  void SelectInTree(QTreeWidgetItem* pointAt, QTreeWidgetItem* select) {
    QTreeWidget* tree = frame->Tree();
    QPoint global = pointAt ? tree->viewport()->mapToGlobal(tree->visualItemRect(pointAt).center())
                            : frame->mapToGlobal(QPoint(frame->width() - 5, frame->height() - 5));
    QCursor::setPos(global);
    QTRY_COMPARE(QCursor::pos(), global);
    tree->setCurrentItem(select);
  }

 private slots:
  void cleanup() {
    app.reset();
    files.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  void fileNew_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("OK") << int(CMessageBox::IdOk);
    QTest::newRow("Cancel") << int(CMessageBox::IdCancel);
  }
  void fileNew() {
    QFETCH(int, answer);
    Start();
    QPointer<CChildFrame> old = frame->ActiveChildFrame();
    old->GetDocument()->Image()[0x20] = 0x44;
    old->GetDocument()->SetModifiedFlag();
    boxes->answers << answer;
    frame->OnCommand(ids::kFileNew);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen[0].text, QStringLiteral("All data will be Cleared!"));
    QCOMPARE(boxes->seen[0].buttons, CMessageBox::OkCancel);
    QCOMPARE(boxes->seen[0].icon, CMessageBox::Exclamation);
    QCOMPARE(boxes->seen[0].caption, QStringLiteral("Kestrel Ridge Radio"));
    QCOMPARE(frame->ChildFrames().size(), 1);
    if (answer == CMessageBox::IdOk) {
      QVERIFY(old.isNull());
      CChansetDoc* doc = frame->ActiveDocument();
      QCOMPARE(doc->Image()[0x20], std::uint8_t(0xFF));
      QVERIFY(!doc->IsModified());
      QVERIFY(chanset::g_bFreshDocument);
    } else {
      QCOMPARE(frame->ActiveChildFrame(), old.data());
      QCOMPARE(old->GetDocument()->Image()[0x20], std::uint8_t(0x44));
      QVERIFY(old->GetDocument()->IsModified());
    }
  }

  void fileNewAfterTheWindowWasHiddenStillAsks() {
    Start();
    frame->OnCommand(ids::kFileClose);
    boxes->answers << CMessageBox::IdCancel;
    frame->OnCommand(ids::kFileNew);
    QCOMPARE(boxes->seen.size(), 1);
  }

  void openGoodFile() {
    Start();
    QPointer<CChildFrame> first = frame->ActiveChildFrame();
    files->answers << Write(QStringLiteral("radio.dat"), DatBytes('\x33'));
    frame->OnCommand(ids::kFileOpen);
    QCOMPARE(files->seen.size(), 1);
    QCOMPARE(files->seen[0].mode, CFileDialog::Open);
    QVERIFY(files->seen[0].filter.startsWith(QStringLiteral("*.dat (*.dat)")));
    QVERIFY(boxes->seen.isEmpty());
    // The earlier window is hidden, not closed; the new one is active.
    QVERIFY(!first.isNull());
    QVERIFY(first->isHidden());
    QCOMPARE(frame->ChildFrames().size(), 2);
    CChildFrame* now = frame->ActiveChildFrame();
    QVERIFY(now != first);
    QVERIFY(now->isVisible());
    QCOMPARE(now->windowTitle(), QStringLiteral("radio.dat[*]"));
    QCOMPARE(now->GetDocument()->Image()[500], std::uint8_t(0x33));
    QVERIFY(!chanset::g_bFreshDocument);
    QVERIFY(frame->isVisible());
  }

  void openFailureChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QByteArray wrong = DatBytes();
    wrong[3] = '4';
    QTest::newRow("wrong magic") << wrong << "format";
    QTest::newRow("short") << DatBytes().left(1039) << "format";
    QTest::newRow("empty") << QByteArray() << "format";
    QTest::newRow("missing") << QByteArray() << "missing";
    QTest::newRow("directory") << QByteArray() << "directory";
    QTest::newRow("pipe") << QByteArray() << "pipe";
  }
  void openFailureChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    Start();
    CChildFrame* before = frame->ActiveChildFrame();
    before->GetDocument()->Image()[0x30] = 0x5A;
    QString path = fx->WorkPath(QStringLiteral("x.dat"));
    if (kind == QLatin1String("format")) Write(QStringLiteral("x.dat"), bytes);
    if (kind == QLatin1String("directory")) QVERIFY(QDir().mkdir(path));
    if (kind == QLatin1String("pipe")) QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    files->answers << path;
    frame->OnCommand(ids::kFileOpen);
    QCOMPARE(frame->ChildFrames().size(), 1);
    QCOMPARE(frame->ActiveChildFrame(), before);
    QVERIFY(before->isVisible());
    QCOMPARE(before->GetDocument()->Image()[0x30], std::uint8_t(0x5A));
    QVERIFY(chanset::g_bFreshDocument);
    QCOMPARE(boxes->seen.size(), 1);
    if (kind == QLatin1String("format")) {
      QCOMPARE(boxes->seen[0].text, QStringLiteral("Data Format Error"));
      QCOMPARE(boxes->seen[0].icon, CMessageBox::NoIcon);
      QCOMPARE(boxes->seen[0].buttons, CMessageBox::Ok);
    } else {
      QVERIFY2(boxes->seen[0].text.startsWith(QStringLiteral("Cannot open the file ")), qPrintable(boxes->seen[0].text));
      QVERIFY(boxes->seen[0].text.contains(QDir::toNativeSeparators(path)));
      QString reason = kind == QLatin1String("missing")
                           ? QStringLiteral("No such file or directory")
                           : QStringLiteral("It is a folder, a device, a pipe or a socket, not a file.");
      QVERIFY2(boxes->seen[0].text.contains(reason), qPrintable(boxes->seen[0].text));
    }
  }

  // In Chinese the reason is Chinese too.
  void openPipeInChinese() {
    Start(IniIn(QStringLiteral("Chinese")), QStringLiteral("Chinese"));
    QString path = fx->WorkPath(QStringLiteral("pipe.dat"));
    QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    files->answers << path;
    frame->OnCommand(ids::kFileOpen);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY2(boxes->seen[0].text.contains(QString::fromUtf8("不是文件")), qPrintable(boxes->seen[0].text));
    QCOMPARE(frame->ChildFrames().size(), 1);
  }

  void openCancelledDoesNothing() {
    Start();
    frame->OnCommand(ids::kFileOpen);
    QCOMPARE(frame->ChildFrames().size(), 1);
    QVERIFY(boxes->seen.isEmpty());
  }

  void closeThenChannelInformation() {
    Start();
    QPointer<CChildFrame> child = frame->ActiveChildFrame();
    CChansetDoc* doc = child->GetDocument();
    doc->Image()[0x40] = 0x77;
    frame->OnCommand(ids::kFileClose);
    QVERIFY(child->isHidden());
    QVERIFY(frame->ShowsDocumentMenu());
    // The close box hides as well.
    frame->OnCommand(ids::kChannelInfo);
    QVERIFY(child->isVisible());
    child->close();
    QVERIFY(!child.isNull());
    QVERIFY(child->isHidden());
    frame->OnCommand(ids::kChannelInfo);
    QVERIFY(child->isVisible());
    QCOMPARE(frame->ActiveChildFrame(), child.data());
    QCOMPARE(child->GetDocument(), doc);
    QCOMPARE(doc->Image()[0x40], std::uint8_t(0x77));
  }

  void channelInformationWithoutAWindowRestoresTheFrame() {
    Start();
    frame->DestroyDocumentWindow(frame->ActiveChildFrame());
    QVERIFY(!frame->ShowsDocumentMenu());
    QStringList about;
    for (QAction* a : frame->MainMenuPopup(2)->actions()) about << a->text();
    QCOMPARE(about, QStringList({"&About", "", "&Write Log"}));
    QVERIFY(!frame->IsCommandEnabled(ids::kFileSave));
    frame->OnCommand(ids::kChannelInfo);
    QTRY_VERIFY(!(frame->windowState() & Qt::WindowMaximized));
    QCOMPARE(frame->size(), QSize(900, 550));
  }

  void controlBarTwice() {
    Start();
    QVERIFY(frame->IsCommandChecked(ids::kControlBar));
    frame->OnCommand(ids::kControlBar);
    QVERIFY(frame->NavigatorBar()->isHidden());
    QVERIFY(!frame->IsCommandChecked(ids::kControlBar));
    frame->DocMenuPopup(3)->aboutToShow();
    QAction* item = frame->DocMenuPopup(3)->actions().last();
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    frame->OnCommand(ids::kControlBar);
    QVERIFY(frame->NavigatorBar()->isVisible());
    QVERIFY(item->isChecked());
  }

  void everyCommandIsConnectedAtStartUp() {
    Start();
    for (int id : {ids::kOptionalFeatures, ids::kProductInfo, ids::kFilePrint, ids::kFilePrintDirect,
                   ids::kFilePrintPreview, ids::kFilePrintSetup, ids::kAppAbout, ids::kLanguage,
                   ids::kRead, ids::kWrite, ids::kComSetup})
      QVERIFY2(frame->IsCommandEnabled(id), qPrintable(QString::number(id)));
    // A command without a handler is disabled; connecting a view command
    // enables it while a view exists.
    frame->Commands().Remove(ids::kLanguage);
    QVERIFY(!frame->IsCommandEnabled(ids::kLanguage));
    // Connecting a view command enables it while a view exists.
    int ran = 0;
    frame->AddViewCommand(ids::kLanguage, [&](CChansetView* view) { ran += view != nullptr; });
    QVERIFY(frame->IsCommandEnabled(ids::kLanguage));
    frame->OnCommand(ids::kLanguage);
    QCOMPARE(ran, 1);
  }

  // The item under the pointer decides, then the root is selected again.
  void treeDispatchByPointer() {
    Start();
    QList<int> actions;
    connect(frame, &CMainFrame::treeActionRun, this, [&](int a) { actions << a; });
    QTreeWidgetItem* root = frame->Tree()->topLevelItem(0);
    QTreeWidgetItem* product = root->child(0);
    QTreeWidgetItem* channels = root->child(1);
    QTreeWidgetItem* options = root->child(2);

    // A dialog closed with the mouse: the pointer has left the item when
    // the root is selected again, so the action runs once.
    int opened = 0;
    frame->AddCommand(ids::kOptionalFeatures, chanset::Command([&] {
                        ++opened;
                        QCursor::setPos(frame->mapToGlobal(QPoint(frame->width() - 5, frame->height() - 5)));
                      }));
    SelectInTree(options, options);
    QCOMPARE(opened, 1);
    QCOMPARE(frame->Tree()->currentItem(), root);
    SelectInTree(options, options);
    QCOMPARE(opened, 2);

    // The pointer decides, not the item selected: pointing at Product
    // Information while the keyboard selects Optional Features.
    actions.clear();
    frame->AddCommand(ids::kProductInfo, chanset::Command([&] { QCursor::setPos(QPoint(0, 0)); }));
    SelectInTree(product, options);
    QCOMPARE(actions, QList<int>({int(TreeAction::ProductInformation)}));
    QCOMPARE(opened, 2);

    // Keyboard selection with the pointer away from the items: nothing.
    actions.clear();
    SelectInTree(nullptr, channels);
    QVERIFY(actions.isEmpty());
    QCOMPARE(frame->Tree()->currentItem(), root);

    // Channel Information shows the hidden window. With the pointer still
    // on the item, re-selecting the root runs it once more.
    frame->OnCommand(ids::kFileClose);
    SelectInTree(channels, channels);
    QCOMPARE(actions, QList<int>({int(TreeAction::ChannelInformation), int(TreeAction::ChannelInformation)}));
    QVERIFY(frame->ActiveChildFrame()->isVisible());
    QCOMPARE(frame->Tree()->currentItem(), root);
  }

  void rootNamedLikeAChildBehavesLikeIt() {
    QString ini = QString::fromUtf8(kDefaultIni);
    ini.replace(QStringLiteral("Company=Kestrel Ridge Radio"), QStringLiteral("Company=Power Adjustment"));
    Start(ini);
    int power = 0;
    frame->AddCommand(ids::kPowerAdjustment, chanset::Command([&] {
                        ++power;
                        QCursor::setPos(QPoint(0, 0));
                      }));
    frame->AddCommand(ids::kOptionalFeatures, chanset::Command([] {}));  // no modal dialog in this test
    QTreeWidgetItem* root = frame->Tree()->topLevelItem(0);
    SelectInTree(root->child(2), root->child(2));
    QCOMPARE(power, 0);
    // Root selected with the pointer on it: re-selection is no change, so
    // select a child by keyboard with the pointer on the root.
    SelectInTree(root, root->child(1));
    QCOMPARE(power, 1);
  }

  void savePromptOnClosing_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("unchanged") << false << 0 << true << false;
    QTest::newRow("cancel") << true << int(CMessageBox::IdCancel) << false << false;
    QTest::newRow("discard") << true << int(CMessageBox::IdDiscard) << true << false;
    QTest::newRow("save") << true << int(CMessageBox::IdSave) << true << true;
  }
  void savePromptOnClosing() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    Start();
    CChansetDoc* doc = frame->ActiveDocument();
    doc->SetModifiedFlag(modified);
    // A hidden window's document is asked about too.
    frame->OnCommand(ids::kFileClose);
    boxes->answers << answer;
    QString target = fx->WorkPath(QStringLiteral("saved.dat"));
    files->answers << target;
    QCOMPARE(frame->close(), closes);
    QCOMPARE(boxes->seen.size(), modified ? 1 : 0);
    if (modified) {
      QCOMPARE(boxes->seen[0].buttons, CMessageBox::SaveDiscardCancel);
      QCOMPARE(boxes->seen[0].text, QStringLiteral("Save changes to Channel Information?"));
    }
    QCOMPARE(QFile::exists(target), written);
    if (written) QCOMPARE(QFileInfo(target).size(), qint64(1040));
    QCOMPARE(frame->isVisible(), !closes);
  }

  void aRecordedChangeMarksTheDocumentModified() {
    Start();
    CChansetDoc* doc = frame->ActiveDocument();
    QVERIFY(!doc->IsModified());
    const chanset::Image before = doc->State();
    doc->Image()[0x130] ^= 0x01;
    doc->RecordChange(chanset::EditKind::OptionalFeatures, before);
    QVERIFY(doc->IsModified());
    boxes->answers << CMessageBox::IdCancel;
    QVERIFY(!frame->close());
    QCOMPARE(boxes->seen.size(), 1);
  }

  void savePromptCancelledInTheFileDialogKeepsTheWindow() {
    Start();
    frame->ActiveDocument()->SetModifiedFlag();
    boxes->answers << CMessageBox::IdSave;
    QVERIFY(!frame->close());
    QVERIFY(frame->isVisible());
  }

  // The AppName preset is only offered; a file of that name is never
  // written unasked.
  void saveOfANewDocumentAsksForAName() {
    Start();
    QByteArray program("#!/bin/sh\necho the program\n");
    Write(QStringLiteral("Chanset"), program);
    Write(QStringLiteral("Chanset.dat"), "keep me");
    frame->OnCommand(ids::kFileSave);
    QCOMPARE(files->seen.size(), 1);
    QCOMPARE(files->seen[0].mode, CFileDialog::Save);
    QCOMPARE(QFileInfo(files->seen[0].suggested).fileName(), QStringLiteral("Chanset.dat"));
    QCOMPARE(QFileInfo(files->seen[0].suggested).absoluteFilePath(),
             QFileInfo(fx->WorkPath(QStringLiteral("Chanset.dat"))).absoluteFilePath());
    QCOMPARE(AppDirFixture::ReadFile(fx->WorkPath(QStringLiteral("Chanset"))), program);
    QCOMPARE(AppDirFixture::ReadFile(fx->WorkPath(QStringLiteral("Chanset.dat"))), QByteArray("keep me"));
    QVERIFY(frame->ActiveDocument()->GetPathName().isEmpty());

    // A name without extension gets ".dat".
    files->answers << fx->WorkPath(QStringLiteral("mine"));
    frame->ActiveDocument()->SetModifiedFlag();
    frame->OnCommand(ids::kFileSave);
    QByteArray saved = AppDirFixture::ReadFile(fx->WorkPath(QStringLiteral("mine.dat")));
    QCOMPARE(saved.size(), 1040);
    QVERIFY(saved.startsWith("S333"));
    QCOMPARE(frame->ActiveDocument()->GetTitle(), QStringLiteral("mine.dat"));
    QVERIFY(!frame->ActiveDocument()->IsModified());
    // Save again writes the same file without asking.
    frame->OnCommand(ids::kFileSave);
    QCOMPARE(files->seen.size(), 2);
  }

  void failedSaveReportsAndKeepsTheChanges() {
    Start();
    frame->ActiveDocument()->SetModifiedFlag();
    QString path = fx->WorkPath(QStringLiteral("no-such-folder/radio.dat"));
    files->answers << path;
    frame->OnCommand(ids::kFileSaveAs);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY(boxes->seen[0].text.startsWith(QStringLiteral("Cannot save the file ")));
    QVERIFY(boxes->seen[0].text.contains(QStringLiteral("No such file or directory")));
    QVERIFY(frame->ActiveDocument()->IsModified());
    QVERIFY(frame->ActiveDocument()->GetPathName().isEmpty());
  }

  void workspaceBackground() {
    Start();
    CWorkspaceClient* ws = frame->Workspace();
    frame->OnCommand(ids::kFileClose);  // the channel window sits at the top-left corner
    auto colourAt = [&](QPoint p) { return ws->viewport()->grab().toImage().pixelColor(p); };
    // No file: bitmap 137, tiled from the top-left corner.
    QImage tile = CLanguagePack::Bitmap(ids::kBackgroundBitmap).toImage();
    QCOMPARE(colourAt(QPoint(3, 3)), tile.pixelColor(3, 3));
    QCOMPARE(colourAt(QPoint(tile.width() + 3, tile.height() + 3)), tile.pixelColor(3, 3));
    // A background.bmp appears at the next repaint, and so does a new one.
    for (QColor colour : {QColor(200, 30, 30), QColor(20, 40, 200)}) {
      QImage picture(40, 30, QImage::Format_RGB32);
      picture.fill(colour);
      QVERIFY(picture.save(fx->AppPath(QStringLiteral("background.bmp")), "BMP"));
      QCOMPARE(colourAt(QPoint(3, 3)), colour);
      QCOMPARE(colourAt(QPoint(85, 65)), colour);
    }
    QFile::remove(fx->AppPath(QStringLiteral("background.bmp")));
    QCOMPARE(colourAt(QPoint(3, 3)), tile.pixelColor(3, 3));
  }

  // The user's picture, else the site's (in the folder the settings file
  // beside the program links to, as installed), else the shipped one, else
  // the pack's bitmap; a file that is no picture is passed over.
  void backgroundPictureChoice_data() {
    QTest::addColumn<QString>("user");     // a colour name, "bad" for a file that is no picture, "" for none
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("shipped");
    QTest::addColumn<QString>("shown");    // "" for the pack's bitmap
    QTest::newRow("user's over site's and shipped") << "red" << "green" << "blue" << "red";
    QTest::newRow("site's over shipped") << "" << "green" << "blue" << "green";
    QTest::newRow("shipped alone") << "" << "" << "blue" << "blue";
    QTest::newRow("a user's file that is no picture") << "bad" << "green" << "blue" << "green";
    QTest::newRow("none: the pack's bitmap") << "" << "bad" << "" << "";
  }
  void backgroundPictureChoice() {
    QFETCH(QString, user);
    QFETCH(QString, site);
    QFETCH(QString, shipped);
    QFETCH(QString, shown);
    Start();
    QTemporaryDir siteDir;
    const QString ini = fx->AppPath(QStringLiteral("Chanset.ini"));
    QVERIFY(QFile::rename(ini, siteDir.filePath(QStringLiteral("Chanset.ini"))));
    QVERIFY(QFile::link(siteDir.filePath(QStringLiteral("Chanset.ini")), ini));
    const QString userDir = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Chanset");
    QVERIFY(QDir().mkpath(userDir));
    const QString name = QStringLiteral("background.bmp");
    for (auto [folder, colour] : {std::pair{userDir, user}, {siteDir.path(), site}, {fx->AppPath(QString()), shipped}}) {
      const QString file = QDir(folder).filePath(name);
      if (colour == QLatin1String("bad")) {
        AppDirFixture::WriteFile(file, "not a picture");
      } else if (!colour.isEmpty()) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(QColor(colour));
        QVERIFY(picture.save(file, "BMP"));
      }
    }
    const QColor expected = shown.isEmpty()
                                ? CLanguagePack::Bitmap(ids::kBackgroundBitmap).toImage().pixelColor(0, 0)
                                : QColor(shown);
    QCOMPARE(CWorkspaceClient::BackgroundPicture().toImage().pixelColor(0, 0), expected);
    QFile::remove(QDir(userDir).filePath(name));
  }

  void childFrameGeometry() {
    Start();
    CChildFrame* child = frame->ActiveChildFrame();
    QCOMPARE(child->pos(), QPoint(0, 0));
    QVERIFY(child->width() <= 1600 && child->height() <= 1200);
    QCOMPARE(child->windowTitle(), QStringLiteral("Channel Information[*]"));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
