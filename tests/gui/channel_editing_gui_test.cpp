// Editing whole channels in the running program, driven by real mouse and key
// events: the Edit menu and its keys, undo and redo of every kind of change,
// the row selection on the CH column, dragging rows, the clipboard both ways,
// refused pastes, the editors' own keys, the context menu, and File's import
// preview and export.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTreeWidget>
#include <unistd.h>
#include <sys/stat.h>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CCommandActions.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "dialogs/COptionalFeaturesDlg.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "editor/CChannelEditing.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "editor/ChannelBlocks.h"
#include "editor/ChannelClipboard.h"
#include "editor/ChansetCsv.h"
#include "editor/ChirpCsv.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/UserRegistry.h"

using namespace chanset;

namespace {

QString Ini(const QString& language) {
  return QStringLiteral(
             "[Setup]\nLanguage=%1\nAppName=EditTest\n"
             "Type1=KRR-45\nField1=400-470MHz|136-174MHz\n"
             "[English]\nAppName=Chanset\nCompany=Kestrel Ridge Radio\n"
             "[Chinese]\nAppName=Chanset 写频软件\nCompany=隼岭无线电\n")
      .arg(language);
}

const ChannelTexts kCh1{"446.00625", "446.00625", "None", "None", "Wide", "Yes", "Off", "High"};
const ChannelTexts kCh2{"446.01250", "447.50000", "D023N", "88.5", "Narrow", "No", "Carrier", "Low"};
const ChannelTexts kCh3{"430.02500", "430.02500", "D754I", "254.1", "Wide", "No", "QT/DQT", "Middle"};

// Four channels; channel 4 holds a tone outside the tone list (88.6 Hz),
// which only an exact copy keeps.
Image SampleImage() {
  Image image = NewImage();
  EncodeChannel(kCh1, image, 1);
  EncodeChannel(kCh2, image, 2);
  EncodeChannel(kCh3, image, 3);
  EncodeChannel(kCh1, image, 4);
  image[off::channel(4) + off::kRxTone] = 0x76;  // 886 tenths of a hertz
  image[off::channel(4) + off::kRxTone + 1] = 0x03;
  image[off::kRadioType] = 0;
  image[off::kBand] = 0;
  return image;
}

QList<int> CommandsOf(const QMenu* menu) {
  QList<int> ids;
  for (QAction* a : menu->actions()) ids << (a->isSeparator() ? 0 : CCommandActions::CommandOf(a));
  return ids;
}

void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* w = QApplication::focusWidget();
  QVERIFY(w);
  QTest::keyClick(w, Qt::Key(key), mods);
}

}  // namespace

class ChannelEditingGuiTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<FileDialogRecorder> files;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;

  // The program with SampleImage() loaded from a file (the saved state), or
  // with the new document it starts with.
  void Start(const QString& language = QStringLiteral("English"), bool open = true) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(Ini(language));
    fx->CopyPack(language);
    boxes = std::make_unique<BoxRecorder>();
    files = std::make_unique<FileDialogRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    if (!open) return;
    const QString path = fx->WorkPath(QStringLiteral("sample.dat"));
    QCOMPARE(StoreDatFile(path.toStdString(), SampleImage()), DatError::None);
    QVERIFY(app->OpenDocumentFile(path));
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
  }

  CChansetDoc* Doc() const { return frame->ActiveDocument(); }
  CChansetView* View() const { return frame->ActiveView(); }
  CMSFlexGrid* Grid() const { return View()->Grid(); }
  CChannelEditing* Editing() const { return CChannelEditing::For(View()); }
  QHeaderView* Header() const { return Grid()->findChild<QTableView*>()->verticalHeader(); }

  QStringList RowTexts(int row) const {
    QStringList texts;
    for (int c = 1; c <= 8; ++c) texts << Grid()->GetTextMatrix(row, c);
    return texts;
  }

  // A point on the CH cell of `channel`, `fraction` of the way down it.
  QPoint ChPoint(int channel, double fraction = 0.5) const {
    QHeaderView* h = Header();
    return {h->viewport()->width() / 2,
            h->sectionViewportPosition(channel - 1) + int(h->sectionSize(channel - 1) * fraction)};
  }
  void ClickCh(int channel, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(Header()->viewport(), Qt::LeftButton, mods, ChPoint(channel));
  }
  void SelectCh(int first, int last) {
    ClickCh(first);
    if (last != first) ClickCh(last, Qt::ShiftModifier);
  }
  void ClickCell(int row, int col) {
    QPoint p(TwipsToPixels(Grid()->GetColPos(col), Grid()->DpiX()) + 6,
             TwipsToPixels(Grid()->GetRowPos(row), Grid()->DpiY()) + 5);
    QWidget* target = Grid()->childAt(p);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(Grid(), p));
  }
  QLineEdit* OpenTextEditor(int row, int col) {
    ClickCell(row, col);
    auto* edit = qobject_cast<QLineEdit*>(View()->EditorOfColumn(col));
    return edit && edit->isVisible() ? edit : nullptr;
  }
  QAction* EditItem(int id) const {
    for (QAction* a : frame->DocMenuPopup(1)->actions())
      if (CCommandActions::CommandOf(a) == id) return a;
    return nullptr;
  }
  static void SetClipboardText(const QString& text) {
    auto* mime = new QMimeData;
    mime->setText(text);
    QApplication::clipboard()->setMimeData(mime);
  }
  QString WriteWorkFile(const QString& name, const QByteArray& bytes) const {
    const QString path = fx->WorkPath(name);
    AppDirFixture::WriteFile(path, bytes);
    return path;
  }

 private slots:
  void cleanup() {
    app.reset();
    files.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  // Menu, keys -----------------------------------------------------------------------

  void editMenuStartsWithTheEditingCommands_data() { AddLanguageRows(); }
  void editMenuStartsWithTheEditingCommands() {
    QFETCH(QString, language);
    Start(language);
    QCOMPARE(CommandsOf(frame->DocMenuPopup(1)),
             QList<int>({ids::kEditUndo, ids::kEditRedo, 0, ids::kEditCut, ids::kEditCopy, ids::kEditPaste,
                         ids::kEditDelete, 0, ids::kEditMoveUp, ids::kEditMoveDown, 0, ids::kProductInfo,
                         ids::kChannelInfo, ids::kOptionalFeatures}));
    const QList<int> file = CommandsOf(frame->DocMenuPopup(0));
    QCOMPARE(file.mid(4, 4), QList<int>({ids::kFileSaveAs, 0, ids::kFileImportChannels, ids::kFileExportChannels}));
    // Every new item has its prompt in the status bar.
    for (int id = ids::kEditUndo; id <= ids::kFileExportChannels; ++id)
      QVERIFY2(!CLanguagePack::StatusPrompt(id).isEmpty(), qPrintable(QString::number(id)));
    // Nothing to undo in a file just opened: the pack's own text, disabled.
    QVERIFY(!EditItem(ids::kEditUndo)->isEnabled());
    QCOMPARE(EditItem(ids::kEditUndo)->text(),
             language == QLatin1String("English") ? QStringLiteral("&Undo\tCtrl+Z") : QStringLiteral("撤销(&U)\tCtrl+Z"));
  }

  // Undo and redo -----------------------------------------------------------------------

  void everyChangeIsOneUndoStep_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("cell") << "cell" << "&Undo Rx Frequency\tCtrl+Z";
    QTest::newRow("choice cell") << "choice" << "&Undo Power\tCtrl+Z";
    QTest::newRow("Rx emptied") << "clear" << "&Undo Clear Channel\tCtrl+Z";
    QTest::newRow("Optional Features") << "options" << "&Undo Optional Features\tCtrl+Z";
    QTest::newRow("Product Information") << "product" << "&Undo Product Information\tCtrl+Z";
    QTest::newRow("power table") << "power" << "&Undo Power Adjustment\tCtrl+Z";
    QTest::newRow("Del") << "delete" << "&Undo Delete\tCtrl+Z";
    QTest::newRow("Ctrl+X") << "cut" << "&Undo Cut\tCtrl+Z";
    QTest::newRow("Alt+Down") << "move" << "&Undo Move\tCtrl+Z";
    QTest::newRow("Ctrl+V") << "paste" << "&Undo Paste\tCtrl+Z";
  }
  void everyChangeIsOneUndoStep() {
    QFETCH(QString, change);
    QFETCH(QString, undoText);
    Start();
    const Image before = Doc()->State();
    const QString title = frame->windowTitle();
    if (change == QLatin1String("cell") || change == QLatin1String("clear")) {
      QLineEdit* edit = OpenTextEditor(2, 1);
      QVERIFY(edit);
      if (change == QLatin1String("cell")) QTest::keyClicks(edit, QStringLiteral("446.1"));
      else Key(Qt::Key_Delete);
      Key(Qt::Key_Return);
    } else if (change == QLatin1String("choice")) {
      ClickCell(1, 8);
      auto* list = qobject_cast<QComboBox*>(View()->EditorOfColumn(8));
      QVERIFY(list && list->isVisible());
      Key(Qt::Key_Down);  // High -> Middle
      Key(Qt::Key_Return);
    } else if (change == QLatin1String("options")) {
      OnNextModal([](QDialog* d) {
        auto* dlg = qobject_cast<COptionalFeaturesDlg*>(d);
        QVERIFY(dlg);
        dlg->List(Option::Squelch)->setCurrentIndex(2);
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
      });
      frame->OnCommand(ids::kOptionalFeatures);
    } else if (change == QLatin1String("product")) {
      OnNextModal([](QDialog* d) {
        d->findChild<QComboBox*>(QStringLiteral("control1014"))->setCurrentIndex(1);  // 136-174MHz
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
      });
      frame->OnCommand(ids::kProductInfo);
      QVERIFY(frame->windowTitle().contains(QLatin1String("136-174MHz")));
      QCOMPARE(UserRegistry::ReadDword(AppRegistryKey(), "Field", 9), 1u);
    } else if (change == QLatin1String("power")) {
      OnNextModal([](QDialog* d) {
        auto* dlg = qobject_cast<CPowerAdjustDlg*>(d);
        QVERIFY(dlg);
        dlg->Grid()->SetTextMatrix(1, 1, QStringLiteral("12"));
        dlg->close();
      });
      frame->OnCommand(ids::kPowerAdjustment);
    } else {
      ClickCh(2);
      if (change == QLatin1String("delete")) Key(Qt::Key_Delete);
      if (change == QLatin1String("cut")) Key(Qt::Key_X, Qt::ControlModifier);
      if (change == QLatin1String("move")) Key(Qt::Key_Down, Qt::AltModifier);
      if (change == QLatin1String("paste")) {
        Key(Qt::Key_C, Qt::ControlModifier);
        ClickCh(7);
        Key(Qt::Key_V, Qt::ControlModifier);
      }
    }
    QVERIFY(boxes->seen.isEmpty());
    const Image after = Doc()->State();
    QVERIFY(after != before);
    QVERIFY(Doc()->IsModified());
    QVERIFY(frame->ActiveChildFrame()->isWindowModified());
    QCOMPARE(Doc()->History().Size(), std::size_t(1));
    QTRY_COMPARE(EditItem(ids::kEditUndo)->text(), undoText);
    QVERIFY(EditItem(ids::kEditUndo)->isEnabled());

    // Back to the file's state: byte for byte, unmodified, and the type,
    // band, title and limits of that state.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    Grid()->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Doc()->State() == before);
    QVERIFY(!Doc()->IsModified());
    QVERIFY(!frame->ActiveChildFrame()->isWindowModified());
    QCOMPARE(frame->windowTitle(), title);
    QCOMPARE(View()->Limits().lower, 40000000);
    QCOMPARE(UserRegistry::ReadDword(AppRegistryKey(), "Field", 9), 0u);
    for (int n = 1; n <= kChannelCount; ++n)
      for (int c = 1; c <= 8; ++c)
        QCOMPARE(Grid()->GetTextMatrix(n, c).toStdString(), DecodeChannel(before, n, false)[c - 1]);
    QVERIFY(!EditItem(ids::kEditUndo)->isEnabled());
    QCOMPARE(EditItem(ids::kEditRedo)->text(), QString(undoText).replace(QStringLiteral("&Undo"), QStringLiteral("&Redo"))
                                                   .replace(QStringLiteral("Ctrl+Z"), QStringLiteral("Ctrl+Y")));

    // Both redo keys do it again; closing then asks to save.
    Key(change.size() % 2 ? Qt::Key_Y : Qt::Key_Z, change.size() % 2 ? Qt::ControlModifier
                                                                      : Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(Doc()->State() == after);
    QVERIFY(Doc()->IsModified());
    boxes->answers << CMessageBox::IdCancel;
    QVERIFY(!frame->close());
    QCOMPARE(boxes->seen.size(), 1);
  }

  // A new document takes its type and band from the registry; undoing a
  // change of them must give back the document's own, not the registry's.
  void undoOfTypeAndBandInANewDocument() {
    Start(QStringLiteral("English"), false);
    QVERIFY(g_bFreshDocument);
    const Image before = Doc()->State();
    const QString title = frame->windowTitle();
    OnNextModal([](QDialog* d) {
      d->findChild<QComboBox*>(QStringLiteral("control1014"))->setCurrentIndex(1);
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
    });
    frame->OnCommand(ids::kProductInfo);
    QCOMPARE(UserRegistry::ReadDword(AppRegistryKey(), "Field", 9), 1u);
    frame->OnCommand(ids::kEditUndo);
    QVERIFY(Doc()->State() == before);
    QCOMPARE(UserRegistry::ReadDword(AppRegistryKey(), "Field", 9), 0u);
    QCOMPARE(frame->windowTitle(), title);
    QCOMPARE(View()->Limits().upper, 47100000);
    QVERIFY(g_bFreshDocument);
    QVERIFY(!Doc()->IsModified());
    frame->OnCommand(ids::kEditRedo);
    QCOMPARE(View()->Limits().upper, 17500000);
    QCOMPARE(Doc()->State()[off::kBand], std::uint8_t(1));
  }

  void undoNamesTheStepInChinese() {
    Start(QStringLiteral("Chinese"));
    QLineEdit* edit = OpenTextEditor(3, 1);
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("446.2"));
    Key(Qt::Key_Return);
    QTRY_COMPARE(EditItem(ids::kEditUndo)->text(), QStringLiteral("撤销 接收频率(&U)\tCtrl+Z"));
  }

  void savingMovesTheCleanState() {
    Start();
    ClickCh(1);
    Key(Qt::Key_Delete);
    QVERIFY(Doc()->IsModified());
    QVERIFY(frame->SaveDocument(Doc(), false));
    QVERIFY(!Doc()->IsModified());
    Key(Qt::Key_Z, Qt::ControlModifier);  // now differs from the saved file
    QVERIFY(Doc()->IsModified());
    Key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!Doc()->IsModified());
  }

  // The channel window hidden by its close box: the commands that act on
  // the document stay enabled, as Save does, and act on it, from the menu
  // and from their keys alike; one that changes channels shows the window
  // first, one that only reads them leaves it hidden.
  void hiddenWindowKeepsTheDocumentsCommands() {
    Start();
    ClickCh(2);
    const Image before = Doc()->State();
    frame->ActiveChildFrame()->close();  // hides it
    frame->UpdateCommandUI();
    QVERIFY(frame->IsCommandEnabled(ids::kFileSave));
    for (int id : {ids::kEditDelete, ids::kEditCut, ids::kEditCopy, ids::kEditMoveUp, ids::kFileImportChannels,
                   ids::kFileExportChannels})
      QVERIFY2(frame->IsCommandEnabled(id), qPrintable(QString::number(id)));
    frame->OnCommand(ids::kEditCopy);
    QVERIFY(frame->ActiveChildFrame()->isHidden());
    frame->Tree()->setFocus();
    Key(Qt::Key_Delete);
    QCOMPARE(DecodeChannel(Doc()->State(), 2, false), ChannelTexts{});
    QVERIFY(frame->ActiveChildFrame()->isVisible());
    frame->ActiveChildFrame()->close();
    frame->OnCommand(ids::kEditMoveDown);
    QCOMPARE(Editing()->Selection(), QVector<int>({3}));
    QVERIFY(frame->IsCommandEnabled(ids::kEditUndo));
    frame->ActiveChildFrame()->close();
    frame->OnCommand(ids::kEditUndo);
    QVERIFY(frame->ActiveChildFrame()->isVisible());
    frame->OnCommand(ids::kEditUndo);
    QVERIFY(Doc()->State() == before);
  }

  // Selection and moving -----------------------------------------------------------------

  void chColumnSelectsChannels() {
    Start();
    ClickCh(3);
    QCOMPARE(Editing()->Selection(), QVector<int>({3}));
    QVERIFY(Grid()->IsRowMarked(3));
    ClickCh(5, Qt::ControlModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({3, 5}));
    ClickCh(3, Qt::ControlModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({5}));
    // Shift extends from the channel clicked last, also one Ctrl took out.
    ClickCh(8, Qt::ShiftModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({3, 4, 5, 6, 7, 8}));
    ClickCh(6);
    ClickCh(7, Qt::ShiftModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({6, 7}));
    // Pressing and moving down the column selects the run passed over.
    QTest::mousePress(Header()->viewport(), Qt::LeftButton, Qt::NoModifier, ChPoint(10));
    QMouseEvent move(QEvent::MouseMove, ChPoint(12), Header()->viewport()->mapToGlobal(ChPoint(12)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Header()->viewport(), &move);
    QTest::mouseRelease(Header()->viewport(), Qt::LeftButton, Qt::NoModifier, ChPoint(12));
    QCOMPARE(Editing()->Selection(), QVector<int>({10, 11, 12}));
    // The other columns edit in place as before, and end the selection.
    QLineEdit* edit = OpenTextEditor(2, 2);
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("447.50000"));
    QVERIFY(Editing()->Selection().isEmpty());
    QVERIFY(!Grid()->IsRowMarked(10));
  }

  void moveCommandsSwapWithTheNeighbour() {
    Start();
    const Image start = Doc()->State();
    SelectCh(2, 3);
    Key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({1, 2}));
    const Image up = Doc()->State();
    QVERIFY(ReadChannelRecord(up, 1) == ReadChannelRecord(start, 2));
    QVERIFY(ReadChannelRecord(up, 2) == ReadChannelRecord(start, 3));
    QVERIFY(ReadChannelRecord(up, 3) == ReadChannelRecord(start, 1));
    // Channel 1 is selected: nothing can move further up.
    QVERIFY(!EditItem(ids::kEditMoveUp)->isEnabled());
    Key(Qt::Key_Up, Qt::AltModifier);
    QVERIFY(Doc()->State() == up);
    ClickCh(16);
    QVERIFY(!EditItem(ids::kEditMoveDown)->isEnabled());
    // Over empty channels nothing changes but the selection moves.
    ClickCh(10);
    Key(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({11}));
    Key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(Editing()->Selection(), QVector<int>({10}));
    QVERIFY(Doc()->State() == up);
    QCOMPARE(Doc()->History().Size(), std::size_t(1));
  }

  void draggingSelectedRowsMovesThem() {
    Start();
    const Image start = Doc()->State();
    SelectCh(2, 3);
    QWidget* vp = Header()->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, ChPoint(3));
    for (int row : {5, 7}) {
      QMouseEvent move(QEvent::MouseMove, ChPoint(row, 0.8), vp->mapToGlobal(ChPoint(row, 0.8)), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(vp, &move);
    }
    QVERIFY(Editing()->DropIndicator()->isVisible());
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, ChPoint(7, 0.8));
    QVERIFY(!Editing()->DropIndicator()->isVisible());
    // Dropped below channel 7: the block lands before the channel that was 8.
    Image expected = start;
    std::vector<int> block{2, 3};
    QVERIFY(MoveChannelsTo(expected, block, 8));
    QVERIFY(Doc()->State() == expected);
    QCOMPARE(Editing()->Selection(), QVector<int>({6, 7}));
    QCOMPARE(RowTexts(6), QStringList({"446.01250", "447.50000", "D023N", "88.5", "Narrow", "No", "Carrier", "Low"}));
    QCOMPARE(Doc()->History().Size(), std::size_t(1));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Doc()->State() == start);
  }

  // Clipboard -----------------------------------------------------------------------------

  void copyThenPasteIsExact() {
    Start();
    ClickCh(3);
    Key(Qt::Key_C, Qt::ControlModifier);
    ClickCh(9);
    Key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(ReadChannelRecord(Doc()->State(), 9) == ReadChannelRecord(Doc()->State(), 3));
    QCOMPARE(Editing()->Selection(), QVector<int>({9}));

    // Channel 4 holds a tone no list offers: its exact copy is checked as
    // typing would be, and refused.
    ClickCh(4);
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime->hasFormat(QLatin1String(kChannelMimeType)));
    QCOMPARE(mime->text(), QStringLiteral("446.00625\t446.00625\t88.6\tNone\tWide\tYes\tOff\tHigh\n"));
    const Image before = Doc()->State();
    ClickCh(10);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY2(boxes->seen[0].text.contains(QLatin1String("Row 1 (CH 10), QT/DQT Dec, \"88.6\"")),
             qPrintable(boxes->seen[0].text));
    QVERIFY(Doc()->State() == before);
  }

  void copyThroughTextGivesTheSameTexts_data() { AddLanguageRows(); }
  void copyThroughTextGivesTheSameTexts() {
    QFETCH(QString, language);
    Start(language);
    SelectCh(1, 3);
    Key(Qt::Key_C, Qt::ControlModifier);
    // What a spreadsheet hands back: the text alone.
    SetClipboardText(QApplication::clipboard()->text());
    ClickCh(10);
    QVERIFY(EditItem(ids::kEditPaste)->isEnabled());
    Key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(boxes->seen.isEmpty());
    for (int i = 0; i < 3; ++i) QCOMPARE(RowTexts(10 + i), RowTexts(1 + i));
    QCOMPARE(Editing()->Selection(), QVector<int>({10, 11, 12}));
  }

  void refusedPasteListsEveryCellAndChangesNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<QStringList>("mentions");
    const QString bad = QStringLiteral("1%1\t1\t1\t1\t1\t1\t1\t1\n").arg(QString(100000, QLatin1Char('2')));
    QTest::newRow("16 rows of bad cells") << bad.repeated(16) << 1 << QStringList({"…and 108 more"});
    QTest::newRow("17 rows") << QStringLiteral("446\t\t\t\t\t\t\t\n").repeated(17) << 1
                             << QStringList({"17 rows: the radio has 16 channels"});
    QTest::newRow("three bad cells")
        << "500\t446.00312\t88.6\tNone\tWide\tYes\tOff\tHigh\n" << 1
        << QStringList({"Rx Frequency", "\"500\"", "Tx Frequency", "\"446.00312\"", "QT/DQT Dec", "\"88.6\""});
    QTest::newRow("bad word, second row")
        << "446.00625,446.00625,None,None,Wide,Yes,Off,High\n446.0125,446.0125,None,None,Medium,Yes,Off,High\n"
        << 3 << QStringList({"Row 2", "W/N", "\"Medium\""});
    QTest::newRow("past channel 16")
        << "446.00625\t446.00625\tNone\tNone\tWide\tYes\tOff\tHigh\n"
           "446.0125\t446.0125\tNone\tNone\tWide\tYes\tOff\tHigh\n"
        << 16 << QStringList({"Row 2"});
  }
  void refusedPasteListsEveryCellAndChangesNothing() {
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(QStringList, mentions);
    Start();
    const Image before = Doc()->State();
    SetClipboardText(text);
    ClickCh(at);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(boxes->seen.size(), 1);
    const QString message = boxes->seen[0].text;
    QVERIFY(message.startsWith(CLanguagePack::String(ids::kPasteRefused)));
    for (const QString& m : mentions) QVERIFY2(message.contains(m), qPrintable(message));
    const bool capped = message.contains(QStringLiteral("…and"));
    QCOMPARE(message.count(QLatin1Char('\n')), capped ? 21 : mentions.size() == 1 ? 1 : mentions.size() / 2);
    // However much was pasted, the box fits a 1024x768 screen.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Chanset"), message, QMessageBox::Ok);
    QVERIFY2(box.sizeHint().height() < 700 && box.sizeHint().width() < 1000,
             qPrintable(QStringLiteral("%1x%2").arg(box.sizeHint().width()).arg(box.sizeHint().height())));
    QVERIFY(Doc()->State() == before);
    QVERIFY(!Doc()->History().CanUndo());
  }

  // The editor's own keys ------------------------------------------------------------------

  void openEditorKeepsItsOwnKeys() {
    Start();
    const Image before = Doc()->State();
    QLineEdit* edit = OpenTextEditor(1, 1);
    QVERIFY(edit);
    QCOMPARE(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, QStringLiteral("447"));
    Key(Qt::Key_Z, Qt::ControlModifier);  // the editor's undo
    QCOMPARE(edit->text(), QStringLiteral("446.00625"));
    QVERIFY(edit->isVisible());
    edit->setSelection(0, 3);
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("446"));
    QVERIFY(!QApplication::clipboard()->mimeData()->hasFormat(QLatin1String(kChannelMimeType)));
    edit->setCursorPosition(9);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("446.00625446"));
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("46.00625446"));
    edit->selectAll();
    Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString());
    // None of it reached the channels.
    QVERIFY(Doc()->State() == before);
    QVERIFY(!Doc()->History().CanUndo());
    QCOMPARE(RowTexts(1).first(), QStringLiteral("446.00625"));
  }

  // Context menu -------------------------------------------------------------------------------

  void contextMenuOffersTheSameCommands() {
    Start();
    QWidget* vp = Header()->viewport();
    QTest::mousePress(vp, Qt::RightButton, Qt::NoModifier, ChPoint(4));
    QContextMenuEvent event(QContextMenuEvent::Mouse, ChPoint(4), vp->mapToGlobal(ChPoint(4)));
    QApplication::sendEvent(vp, &event);
    auto* menu = View()->findChild<QMenu*>(QStringLiteral("channelContextMenu"));
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(CommandsOf(menu), QList<int>({ids::kEditUndo, ids::kEditRedo, 0, ids::kEditCut, ids::kEditCopy,
                                           ids::kEditPaste, ids::kEditDelete, 0, ids::kEditMoveUp,
                                           ids::kEditMoveDown}));
    QCOMPARE(Editing()->Selection(), QVector<int>({4}));
    QAction* del = menu->actions()[6];
    QCOMPARE(del->text(), QStringLiteral("&Delete\tDel"));
    del->trigger();
    menu->close();
    QCOMPARE(RowTexts(4), QStringList(8, QString()));
    QCOMPARE(RowTexts(3).first(), QStringLiteral("430.02500"));
  }

  // Import and export ------------------------------------------------------------------------

  void importShowsEveryRowAndOkIsOneStep_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
  }
  void importShowsEveryRowAndOkIsOneStep() {
    QFETCH(bool, ok);
    Start();
    const Image before = Doc()->State();
    files->answers << WriteWorkFile(
        QStringLiteral("plan.csv"),
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment\r\n"
        "5,Base,446.006250,,0.000000,TSQL,88.5,162.2,023,NN,023,Tone->Tone,FM,6.25,,5.0W,\r\n"
        "6,Car,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,1.0W,\r\n"
        "20,Far,446.012500,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,S,1.0W,\r\n" +
            QByteArray("7,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,,\r\n").repeated(25));
    QStringList channels, firstRow, notes;
    QString summary, details;
    bool okEnabled = false;
    OnNextModal([&](QDialog* d) {
      auto* dlg = qobject_cast<CImportPreviewDlg*>(d);
      QVERIFY(dlg);
      QAbstractItemModel* model = dlg->Table()->model();
      // The row to use, the first 20 refused ones, then the count of the rest.
      QCOMPARE(model->rowCount(), 22);
      QCOMPARE(model->index(21, 10).data().toString(), QStringLiteral("…and 7 more"));
      for (int r = 0; r < 3; ++r) {
        channels << model->index(r, 1).data().toString();
        notes << model->index(r, 10).data().toString();
      }
      for (int c = 2; c < 10; ++c) firstRow << model->index(0, c).data().toString();
      details = dlg->DetailsLabel()->text();  // the first refused row, in full
      QTest::mouseClick(dlg->RenumberBox(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(8, dlg->RenumberBox()->height() / 2));
      channels << model->index(2, 1).data().toString();
      summary = dlg->SummaryLabel()->text();
      okEnabled = dlg->OkButton()->isEnabled();
      QTest::mouseClick(ok ? static_cast<QWidget*>(dlg->OkButton())
                           : dlg->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                        Qt::LeftButton);
    });
    frame->OnCommand(ids::kFileImportChannels);
    QCOMPARE(channels, QStringList({"5", "6", "-", "2"}));
    QCOMPARE(firstRow, QStringList({"446.00625", "446.00625", "162.2", "162.2", "Wide", "Yes", "Off", "High"}));
    QVERIFY2(notes[1].contains(QLatin1String("400-470MHz")), qPrintable(notes[1]));
    QVERIFY2(notes[2].startsWith(QLatin1String("Refused")), qPrintable(notes[2]));
    QVERIFY(notes[0].contains(QLatin1String("Name")));
    QVERIFY2(details.startsWith(QLatin1String("Line 3: Refused")) && details.endsWith(notes[1].section(QLatin1Char(' '), -3)),
             qPrintable(details));
    QCOMPARE(summary, QStringLiteral("2 of 28 rows will be imported, 26 refused. OK replaces the channels they go to; "
                                     "the other channels stay as they are."));
    QVERIFY(okEnabled);
    QVERIFY(boxes->seen.isEmpty());
    if (!ok) {
      QVERIFY(Doc()->State() == before);
      QVERIFY(!Doc()->History().CanUndo());
      return;
    }
    // Renumbered: the accepted rows 1 and 3 go to channels 1 and 2; the
    // refused rows to none; every other channel keeps its bytes.
    QCOMPARE(RowTexts(1), QStringList({"446.00625", "446.00625", "162.2", "162.2", "Wide", "Yes", "Off", "High"}));
    QCOMPARE(RowTexts(2), QStringList({"446.01250", "446.01250", "None", "None", "Narrow", "No", "Off", "Low"}));
    for (int n : {3, 4, 5, 6, 7, 16})
      QVERIFY(ReadChannelRecord(Doc()->State(), n) == ReadChannelRecord(before, n));
    QCOMPARE(Doc()->History().Size(), std::size_t(1));
    QCOMPARE(EditItem(ids::kEditUndo)->text(), QStringLiteral("&Undo Import\tCtrl+Z"));
    frame->OnCommand(ids::kEditUndo);
    QVERIFY(Doc()->State() == before);
  }

  void importOfABadFileSaysWhyAndChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");  // what bad.csv is: a file, "pipe", "huge" (sparse), or a device's path
    QTest::addColumn<QString>("says");
    QTest::newRow("empty") << QByteArray() << "" << "Cannot import";
    QTest::newRow("missing column") << QByteArray("Location,Name,Frequency\n1,a,446.00625\n") << "" << "Cannot import";
    QTest::newRow("header only") << QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,"
                                               "DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode\n")
                                 << "" << "holds no channel rows";
    QTest::newRow("binary") << QByteArray("\x00\xff\x10\"\"\"\n\x01", 9) << "" << "Cannot import";
    // The window never waits on a pipe and never reads without end.
    QTest::newRow("pipe with no writer") << QByteArray() << "pipe" << "not a file";
    QTest::newRow("device") << QByteArray() << "/dev/zero" << "not a file";
    QTest::newRow("a terabyte") << QByteArray("Location\n") << "huge" << "too large to be a channel table";
  }
  void importOfABadFileSaysWhyAndChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, says);
    Start();
    const Image before = Doc()->State();
    QString path = WriteWorkFile(QStringLiteral("bad.csv"), bytes);
    if (kind == QLatin1String("pipe")) QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0644) == 0);
    if (kind == QLatin1String("huge")) QVERIFY(::truncate(QFile::encodeName(path), off_t(1) << 40) == 0);
    if (kind.startsWith(QLatin1Char('/'))) path = kind;
    files->answers << path;
    frame->OnCommand(ids::kFileImportChannels);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY2(boxes->seen[0].text.contains(says), qPrintable(boxes->seen[0].text));
    QVERIFY(boxes->seen[0].text.contains(QFileInfo(path).fileName()));
    QVERIFY(Doc()->State() == before);
    QVERIFY(!Doc()->History().CanUndo());
  }

  void exportWritesTheFormatOfTheChosenFileType_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("chirp");
    QTest::newRow("Chanset table, English") << "English" << false;
    QTest::newRow("Chanset table, Chinese") << "Chinese" << false;
    QTest::newRow("CHIRP CSV") << "English" << true;
  }
  void exportWritesTheFormatOfTheChosenFileType() {
    QFETCH(QString, language);
    QFETCH(bool, chirp);
    Start(language);
    const QString path = fx->WorkPath(QStringLiteral("out.csv"));
    const QString type = CLanguagePack::String(chirp ? ids::kChirpCsvFilter : ids::kChansetCsvFilter);
    CFileDialog::SetResponder([&](const CFileDialog::Request& r) {
      [&] { QVERIFY(r.chosenFilter); }();
      if (r.chosenFilter) *r.chosenFilter = type;
      return path;
    });
    frame->OnCommand(ids::kFileExportChannels);
    const std::string written = AppDirFixture::ReadFile(path).toStdString();
    const bool chinese = language == QLatin1String("Chinese");
    QCOMPARE(written, chirp ? WriteChirpCsv(Doc()->State(), nullptr, chinese) : WriteChansetCsv(Doc()->State(), chinese));
    // Channel 2 has a busy lock, which CHIRP CSV cannot carry: the export says so.
    QCOMPARE(boxes->seen.size(), chirp ? 1 : 0);
    if (chirp) QVERIFY(boxes->seen[0].text.startsWith(QLatin1String("out.csv was written")));
  }

  void failedExportKeepsTheEarlierFile() {
    Start();
    const QString dir = fx->WorkPath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/out.csv");
    AppDirFixture::WriteFile(path, "earlier");
    // A folder without write permission (root ignores it: then the export
    // goes to a path whose folder does not exist instead).
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool root = ::geteuid() == 0;
    files->answers << (root ? fx->WorkPath(QStringLiteral("missing/out.csv")) : path);
    frame->OnCommand(ids::kFileExportChannels);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY(boxes->seen[0].text.startsWith(QLatin1String("Cannot save the file")));
    QCOMPARE(AppDirFixture::ReadFile(path), QByteArray("earlier"));
    QVERIFY(!QFile::exists(fx->WorkPath(QStringLiteral("missing/out.csv"))));
  }

  // Pictures for looking at (with CHANSET_SCREENSHOT_DIR set and a real
  // display): a selection, the Edit menu after an edit, the context menu,
  // a refused paste and the import preview, in each language.
  void pictures_data() { AddLanguageRows(); }
  void pictures() {
    QFETCH(QString, language);
    const QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("CHANSET_SCREENSHOT_DIR is not set");
    const QString suffix = language == QLatin1String("English") ? QStringLiteral("-en") : QStringLiteral("-zh");
    auto snap = [&](const QString& name) {
      QTest::qWait(300);
      QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(dir).filePath(name + suffix + ".png"));
    };
    Start(language);
    frame->ActiveChildFrame()->move(0, 0);  // in view also when the workspace scrolled
    QLineEdit* edit = OpenTextEditor(5, 1);
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("446.5"));
    Key(Qt::Key_Return);
    SelectCh(2, 3);
    ClickCh(7, Qt::ControlModifier);
    snap(QStringLiteral("editing-selection"));
    QMenu* edits = frame->DocMenuPopup(1);
    frame->UpdateCommandUI();
    edits->popup(frame->menuBar()->mapToGlobal(frame->menuBar()->actionGeometry(edits->menuAction()).bottomLeft()));
    snap(QStringLiteral("editing-edit-menu"));
    edits->close();
    QWidget* vp = Header()->viewport();
    QTest::mousePress(vp, Qt::RightButton, Qt::NoModifier, ChPoint(3));
    QContextMenuEvent event(QContextMenuEvent::Mouse, ChPoint(3), vp->mapToGlobal(ChPoint(3)));
    QApplication::sendEvent(vp, &event);
    snap(QStringLiteral("editing-context-menu"));
    if (auto* menu = View()->findChild<QMenu*>(QStringLiteral("channelContextMenu"))) menu->close();

    // The refused paste, shown as a real box.
    CMessageBox::SetResponder([&](const CMessageBox::Request& r) {
      QMessageBox box(QMessageBox::Warning, r.caption, r.text, QMessageBox::Ok, frame);
      box.show();
      snap(QStringLiteral("editing-paste-refused"));
      return int(CMessageBox::IdOk);
    });
    // The worst a paste can give: 16 rows of 8 bad cells, one of them long.
    SetClipboardText(QStringLiteral("500%1\t446.00312\t88.6\tNone\tWideband\tYes\tSometimes\tMax\n")
                         .arg(QString(300, QLatin1Char('0')))
                         .repeated(16));
    ClickCh(1);
    Key(Qt::Key_V, Qt::ControlModifier);
    CMessageBox::SetResponder({});

    files->answers << WriteWorkFile(
        QStringLiteral("plan.csv"),
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment\n"
        "1,Base,446.006250,,0.000000,TSQL,88.5,162.2,023,NN,023,Tone->Tone,FM,6.25,,5.0W,\n"
        "2,Car,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,1.0W,\n"
        "3,Repeater,446.100000,+,5.000000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,12.50,S,2.5W,\n"
        "4,Split,446.200000,,0.000000,DTCS,88.5,88.5,411,NR,023,Tone->Tone,FM,12.50,,1.0W,\n"
        "20,Far,446.012500,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,S,Low,\n");
    OnNextModal([&](QDialog* d) { snap(QStringLiteral("editing-import-preview")); d->reject(); });
    frame->OnCommand(ids::kFileImportChannels);
  }
};

QTEST_MAIN(ChannelEditingGuiTest)
#include "channel_editing_gui_test.moc"
