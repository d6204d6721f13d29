// A value still being typed in a cell is never lost: every path that closes,
// replaces or asks about the document commits the open editor first, and a
// refused value stops that path with the editor open again on its text.
// Driven by real clicks and keys on the grid.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CLanguageDlg.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/ResourceIds.h"

using namespace chanset;

namespace {
enum Path { Exit, CloseBox, FileClose, OpenOther, FileNew, LanguageRestart };
}  // namespace
Q_DECLARE_METATYPE(Path)

class TypingKeptTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<FileDialogRecorder> files;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;
  QStringList started;

  // A saved file whose channel 1 is 446.00625 MHz, band 400-470 MHz.
  QString SavedFile(const QString& name) {
    Image image = NewImage();
    image[off::kRadioType] = 0;
    image[off::kBand] = 0;
    EncodeFrequency("446.00625", &image[off::channel(1) + off::kRxFreq]);
    EncodeFrequency("446.00625", &image[off::channel(1) + off::kTxFreq]);
    QString path = fx->WorkPath(name);
    StoreDatFile(path.toStdString(), image);
    return path;
  }

  // Starts with saved.dat open (or, with `newDocument`, a new document).
  void Start(const QString& ini = QString::fromUtf8(kDefaultIni), bool newDocument = false) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(ini);
    fx->CopyPack(QStringLiteral("English"));
    boxes = std::make_unique<BoxRecorder>();
    files = std::make_unique<FileDialogRecorder>();
    app = std::make_unique<CChansetApp>();
    QStringList args;
    if (!newDocument) args << SavedFile(QStringLiteral("saved.dat"));
    QCOMPARE(app->InitInstance(args), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
  }

  // Clicks the Rx cell of channel 1 and types `text` without Enter.
  QLineEdit* TypeIntoRx(const QString& text) {
    CMSFlexGrid* grid = frame->ActiveView()->Grid();
    QPoint p(TwipsToPixels(grid->GetColPos(1), grid->DpiX()) + 6, TwipsToPixels(grid->GetRowPos(1), grid->DpiY()) + 5);
    QWidget* target = grid->childAt(p);
    if (!target) return nullptr;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(grid, p));
    auto* edit = qobject_cast<QLineEdit*>(frame->ActiveView()->EditorOfColumn(1));
    if (!edit || !edit->isVisible()) return nullptr;
    QTest::keyClicks(edit, text);
    return edit;
  }

  // Takes the path; save prompts and "All data will be Cleared!" are
  // answered Cancel.
  void Take(Path path) {
    switch (path) {
      case Exit: frame->OnCommand(ids::kAppExit); break;
      case CloseBox: frame->ActiveChildFrame()->close(); break;
      case FileClose: frame->OnCommand(ids::kFileClose); break;
      case OpenOther:
        files->answers << SavedFile(QStringLiteral("other.dat"));
        frame->OnCommand(ids::kFileOpen);
        break;
      case FileNew: frame->OnCommand(ids::kFileNew); break;
      case LanguageRestart:
        QTimer::singleShot(0, this, [] {
          auto* dlg = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
          QVERIFY(dlg);
          dlg->Form().Control<QRadioButton>(1007)->click();  // Chinese
          dlg->Form().Control<QPushButton>(1)->click();
        });
        frame->OnCommand(ids::kLanguage);
        break;
    }
  }

  void AddPaths() {
    QTest::addColumn<Path>("path");
    QTest::newRow("File Exit") << Exit;
    QTest::newRow("close box of the channel window") << CloseBox;
    QTest::newRow("File Close") << FileClose;
    QTest::newRow("File Open of another file") << OpenOther;
    QTest::newRow("File New") << FileNew;
    QTest::newRow("Language restart") << LanguageRestart;
  }

 private slots:
  void init() {
    started.clear();
    CLanguageDlg::SetStarter([this](const QString& program) {
      started << program;
      return true;
    });
  }
  void cleanup() {
    CLanguageDlg::SetStarter({});
    app.reset();
    files.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  void typedValueIsCommitted_data() { AddPaths(); }
  void typedValueIsCommitted() {
    QFETCH(Path, path);
    Start();
    CChildFrame* child = frame->ActiveChildFrame();
    CChansetDoc* doc = child->GetDocument();
    QVERIFY(!doc->IsModified());
    QVERIFY(TypeIntoRx(QStringLiteral("460")));
    boxes->answers << CMessageBox::IdCancel;
    Take(path);
    // The value is in the grid, and the document counts as changed.
    QCOMPARE(child->GetView()->Grid()->GetTextMatrix(1, 1), QStringLiteral("460.00000"));
    QVERIFY(doc->IsModified());
    const bool asks = path == Exit || path == LanguageRestart || path == FileNew;
    QCOMPARE(boxes->seen.size(), asks ? 1 : 0);
    if (path == Exit || path == LanguageRestart) {
      QCOMPARE(boxes->seen[0].text, QStringLiteral("Save changes to saved.dat?"));
      QVERIFY(frame->isVisible());  // Cancel keeps the program
      QVERIFY(started.isEmpty());
    }
    if (path == FileNew) QCOMPARE(boxes->seen[0].text, QStringLiteral("All data will be Cleared!"));
  }

  // Answering Save at the prompt writes what was being typed.
  void exitSavesTheTypedValue() {
    Start();
    QVERIFY(TypeIntoRx(QStringLiteral("460.0125")));
    boxes->answers << CMessageBox::IdSave;
    frame->OnCommand(ids::kAppExit);
    QVERIFY(!frame->isVisible());
    Image saved{};
    QCOMPARE(LoadDatFile(fx->WorkPath(QStringLiteral("saved.dat")).toStdString(), saved), DatError::None);
    QCOMPARE(QString::fromStdString(DecodeChannel(saved, 1, false)[0]), QStringLiteral("460.01250"));
  }

  // A refused value shows its message; the path stops, the editor opens
  // again on the text as typed, and the cell keeps its old value.
  void refusedValueStopsThePath_data() { AddPaths(); }
  void refusedValueStopsThePath() {
    QFETCH(Path, path);
    Start();
    CChildFrame* child = frame->ActiveChildFrame();
    QVERIFY(TypeIntoRx(QStringLiteral("999")));
    Take(path);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen[0].text, QStringLiteral("Out of range,please input again."));
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->ChildFrames().size(), 1);
    QCOMPARE(frame->ActiveChildFrame(), child);
    QVERIFY(child->isVisible());
    QVERIFY(files->seen.isEmpty());
    QVERIFY(started.isEmpty());
    auto* edit = qobject_cast<QLineEdit*>(child->GetView()->EditorOfColumn(1));
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->text(), QStringLiteral("999"));
    QCOMPARE(child->GetView()->Grid()->GetTextMatrix(1, 1), QStringLiteral("446.00625"));
    // Corrected, the same path goes on.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("461"));
    boxes->answers << CMessageBox::IdCancel;
    Take(path);
    QCOMPARE(child->GetView()->Grid()->GetTextMatrix(1, 1), QStringLiteral("461.00000"));
  }

  // With no AppName, Save of a new document opens the current folder with
  // an empty file name.
  void saveOfANewDocumentWithoutAppName() {
    QString ini = QString::fromUtf8(kDefaultIni);
    ini.replace(QStringLiteral("ShowLang=1\nAppName=Chanset\n"), QStringLiteral("ShowLang=1\n"));
    QVERIFY(!ini.startsWith(QStringLiteral("[Setup]\nLanguage=English\nShowLang=1\nAppName")));
    Start(ini, true);
    frame->OnCommand(ids::kFileSave);
    QCOMPARE(files->seen.size(), 1);
    QFileInfo offered(files->seen[0].suggested);
    QCOMPARE(offered.fileName(), QString());
    QCOMPARE(offered.absolutePath(), QFileInfo(fx->WorkPath(QStringLiteral("x"))).absolutePath());
  }
};

QTEST_MAIN(TypingKeptTest)
#include "typing_kept_test.moc"
