// The channel grid's in-place editors in the main window, driven by real
// mouse and key events in both languages: where an editor sits, Tab and a
// focus change out of an open editor, a press anywhere on the grid, and
// the keyboard alone: typing on the grid, keys after the window hid, the
// undo keys and Esc in an editor, F6 between the panes, Enter in the tree,
// and Tab in the import preview.
// With CHANSET_SCREENSHOT_DIR set it saves a picture of an open editor.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTreeWidget>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CNavigatorBar.h"
#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "grid/CMSFlexGrid.h"
#include "data/RadioBands.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {

QWidget* Focused() { return QApplication::focusWidget(); }

// Keys where keys go: each to the widget that has the focus by then.
void Type(const QString& keys, QWidget* fallback) {
  for (QChar c : keys) QTest::keyClick(Focused() ? Focused() : fallback, c.toLatin1());
}

bool Within(const QWidget* parent, const QWidget* w) { return w && (w == parent || parent->isAncestorOf(w)); }

}  // namespace

class GridEditorEventsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;
  CChansetView* view = nullptr;
  CMSFlexGrid* grid = nullptr;
  QTableView* table = nullptr;

  void Start(const QString& language, const QString& company = QString()) {
    fx = std::make_unique<AppDirFixture>();
    QString ini = IniIn(language);
    if (!company.isEmpty())
      ini.replace(QRegularExpression(QStringLiteral("Company=[^\n]*")), QStringLiteral("Company=") + company);
    fx->WriteIni(ini);
    fx->CopyPack(language);
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    frame->showNormal();
    frame->setGeometry(40, 40, 1100, 760);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    view = frame->ActiveView();
    grid = view->Grid();
    table = grid->findChild<QTableView*>();
    QVERIFY(table);
  }

  // The cell's rectangle as the table draws it, in grid coordinates.
  QRect CellRect(int row, int col) const {
    const QRect r = table->visualRect(table->model()->index(row - 1, col - 1));
    return QRect(table->viewport()->mapTo(grid, r.topLeft()), r.size());
  }

  void ClickCell(int row, int col) {
    const QRect cell = CellRect(row, col);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->viewport()->mapFrom(grid, cell.center()));
  }

  QWidget* OpenEditor(int row, int col) {
    ClickCell(row, col);
    QWidget* editor = view->EditorOfColumn(col);
    [&] { QTRY_VERIFY(editor->isVisible() && editor->hasFocus()); }();
    return editor;
  }

  QStringList Row(int row) const {
    QStringList texts;
    for (int c = 1; c <= 8; ++c) texts << grid->GetTextMatrix(row, c);
    return texts;
  }

  QStringList Messages() const {
    QStringList texts;
    for (const auto& r : boxes->seen) texts << r.text;
    return texts;
  }

  // Puts `text` into the open editor of (row, col): typed into a text box,
  // or, for a list, `text` Down presses.
  void Enter(int row, int col, const QString& text) {
    QWidget* editor = OpenEditor(row, col);
    if (qobject_cast<QComboBox*>(editor)) {
      for (int i = 0; i < text.toInt(); ++i) QTest::keyClick(editor, Qt::Key_Down);
    } else {
      QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(editor, Qt::Key_Delete);
      QTest::keyClicks(editor, text);
    }
  }

  // A channel in `row`, typed in and committed with Enter.
  void MakeChannel(int row) {
    Enter(row, 1, QStringLiteral("446.00625"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTRY_VERIFY(!grid->GetTextMatrix(row, 8).isEmpty());
  }

  // The grid has the keyboard at (row, col) with no editor open.
  void FocusGridAt(int row, int col) {
    QWidget* editor = OpenEditor(row, col);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_VERIFY(editor->isHidden() && table->hasFocus());
  }

  QList<QStringList> AllRows() const {
    QList<QStringList> rows;
    for (int r = 1; r <= 16; ++r) rows << Row(r);
    return rows;
  }

 private slots:
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  // Every editor covers its cell exactly: not shifted up into the header,
  // not left into the channel numbers.
  void editorSitsExactlyOverItsCell_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    for (const char* language : {"English", "Chinese"}) {
      const struct {
        int row, col;
      } cells[] = {{1, 1}, {1, 2}, {1, 3}, {9, 5}, {16, 8}};
      for (const auto& c : cells)
        QTest::addRow("%s row %d col %d", language, c.row, c.col) << language << c.row << c.col;
    }
  }
  void editorSitsExactlyOverItsCell() {
    QFETCH(QString, language);
    QFETCH(int, row);
    QFETCH(int, col);
    Start(language);
    QWidget* editor = OpenEditor(row, col);
    QCOMPARE(editor->geometry(), CellRect(row, col));
    const QRect header(table->horizontalHeader()->mapTo(grid, QPoint(0, 0)), table->horizontalHeader()->size());
    const QRect numbers(table->verticalHeader()->mapTo(grid, QPoint(0, 0)), table->verticalHeader()->size());
    QVERIFY(!editor->geometry().intersects(header));
    QVERIFY(!editor->geometry().intersects(numbers));
    if (row == 1 && col == 1) {
      QTest::keyClicks(editor, QStringLiteral("446.0"));
      const QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
      if (!dir.isEmpty()) QVERIFY(view->grab().save(dir + QStringLiteral("/editor-over-cell-") + language + ".png"));
    }
  }

  // Tab or Shift+Tab out of an open editor commits it exactly as leaving
  // the cell with the mouse does, hides it and leaves the focus on the grid
  // at the same cell.
  void tabCommitsAsLeavingTheCell_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("channel");  // the rows hold a channel first
    QTest::addColumn<QString>("input");
    const struct {
      const char* name;
      int col;
      bool channel;
      const char* input;
    } cases[] = {
        {"new Rx", 1, false, "446.00625"},   {"Rx out of range", 1, false, "500"},
        {"Rx off step", 1, false, "446.00312"}, {"Rx cleared", 1, true, ""},
        {"Tx", 2, true, "447.5"},             {"Tx out of range", 2, true, "399"},
        {"Tx off step", 2, true, "446.00312"}, {"Tx cleared", 2, true, ""},
        {"W/N", 5, true, "1"},                {"W/N without channel", 5, false, "1"},
        {"Power", 8, true, "2"},
    };
    for (const char* language : {"English", "Chinese"})
      for (const auto& c : cases)
        for (int key : {int(Qt::Key_Tab), int(Qt::Key_Backtab)})
          QTest::addRow("%s %s %s", language, c.name, key == Qt::Key_Tab ? "Tab" : "Shift+Tab")
              << language << key << c.col << c.channel << c.input;
  }
  void tabCommitsAsLeavingTheCell() {
    QFETCH(QString, language);
    QFETCH(int, key);
    QFETCH(int, col);
    QFETCH(bool, channel);
    QFETCH(QString, input);
    Start(language);
    if (channel) {
      MakeChannel(3);
      MakeChannel(4);
    }
    // Row 4: leaving the cell by a click elsewhere.
    Enter(4, col, input);
    ClickCell(12, 6);
    QTRY_VERIFY(view->EditorOfColumn(6)->isVisible());
    const QStringList left = Row(4);
    const QStringList leftMessages = Messages();
    boxes->seen.clear();

    // Row 3: the same by Tab.
    Enter(3, col, input);
    QWidget* editor = view->EditorOfColumn(col);
    QTest::keyClick(editor, Qt::Key(key));
    QTRY_VERIFY(editor->isHidden());
    QCOMPARE(Row(3), left);
    QCOMPARE(Messages(), leftMessages);
    QCOMPARE(grid->GetRow(), 3);
    QCOMPARE(grid->GetCol(), col);
    QVERIFY(Focused() == table || table->isAncestorOf(Focused()));
    for (int c = 1; c <= 8; ++c) QVERIFY(view->EditorOfColumn(c)->isHidden());
  }

  // The focus moving out of the channel window commits the open editor; a
  // drop-down list's own list does not.
  void focusLeavingTheGridCommits_data() { AddLanguageRows(); }
  void focusLeavingTheGridCommits() {
    QFETCH(QString, language);
    Start(language);
    QWidget* list = OpenEditor(2, 3);
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(static_cast<QComboBox*>(list)->view()->isVisible());
    QVERIFY(list->isVisible());
    QTest::keyClick(static_cast<QComboBox*>(list)->view(), Qt::Key_Escape);
    QTRY_VERIFY(!static_cast<QComboBox*>(list)->view()->isVisible());
    QVERIFY(list->isVisible());

    Enter(2, 1, QStringLiteral("446.0125"));
    QTreeWidget* tree = frame->Tree();
    const QPoint root = tree->visualItemRect(tree->topLevelItem(0)).center();
    QCursor::setPos(tree->viewport()->mapToGlobal(root));
    QTRY_COMPARE(QCursor::pos(), tree->viewport()->mapToGlobal(root));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, root);
    QTRY_VERIFY(view->EditorOfColumn(1)->isHidden());
    QCOMPARE(grid->GetTextMatrix(2, 1), QStringLiteral("446.01250"));
    QCOMPARE(grid->GetTextMatrix(2, 2), QStringLiteral("446.01250"));
    QVERIFY(tree->hasFocus());
    QVERIFY(boxes->seen.isEmpty());
  }

  // Text typed into an editor whose window Ctrl+F4 then hid is still the
  // user's: saving writes it.
  void hiddenWindowsEditorReachesTheFile_data() { AddLanguageRows(); }
  void hiddenWindowsEditorReachesTheFile() {
    QFETCH(QString, language);
    Start(language);
    FileDialogRecorder files;
    const QString path = fx->WorkPath(QStringLiteral("hidden.dat"));
    files.answers << path;
    Enter(2, 1, QStringLiteral("446.0125"));
    QTest::keyClick(Focused(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(frame->ActiveChildFrame()->isHidden());
    frame->OnCommand(ids::kFileSave);
    QCOMPARE(files.seen.size(), 1);
    chanset::Image saved{};
    QCOMPARE(chanset::LoadDatFile(path.toStdString(), saved), chanset::DatError::None);
    QCOMPARE(QString::fromStdString(chanset::DecodeChannel(saved, 2, false)[0]), QStringLiteral("446.01250"));
    QVERIFY(boxes->seen.isEmpty());
  }

  // A mouse press anywhere on the grid opens the current cell's editor,
  // also where it does not change the current cell.
  void pressAnywhereOpensTheEditor_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("where");
    for (const char* language : {"English", "Chinese"})
      for (const char* where : {"current cell", "corner", "border"})
        QTest::newRow(QByteArray(language) + " " + where) << language << where;
  }
  void pressAnywhereOpensTheEditor() {
    QFETCH(QString, language);
    QFETCH(QString, where);
    Start(language);
    MakeChannel(5);
    QWidget* editor = OpenEditor(5, 2);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_VERIFY(editor->isHidden());
    if (where == QLatin1String("current cell")) {
      QTest::mousePress(table->viewport(), Qt::LeftButton, {}, table->viewport()->mapFrom(grid, CellRect(5, 2).center()));
    } else if (where == QLatin1String("corner")) {
      auto* corner = table->findChild<QAbstractButton*>();
      QVERIFY(corner && corner->isVisible());
      QTest::mousePress(corner, Qt::LeftButton, {}, corner->rect().center());
    } else {
      QVERIFY(table->frameWidth() > 0);
      QTest::mousePress(table, Qt::LeftButton, {}, QPoint(table->width() - 1, table->height() / 2));
    }
    QTRY_VERIFY(editor->isVisible());
    QVERIFY(editor->hasFocus());
    QCOMPARE(grid->GetRow(), 5);
    QCOMPARE(grid->GetCol(), 2);
    QCOMPARE(editor->geometry(), CellRect(5, 2));
    QCOMPARE(static_cast<QLineEdit*>(editor)->text(), grid->GetTextMatrix(5, 2));
  }

  // A character typed on the grid goes to the current cell's editor and
  // nowhere else: no other channel ever changes.
  void typingChangesOnlyTheCurrentCell_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    const struct {
      const char* name;
      int col;
      const char* keys;
      const char* result;
    } cases[] = {
        {"88 on a decode tone", 3, "88", "88.5"},  {"1 on an encode tone", 4, "1", "100.0"},
        {"d on a tone", 3, "d", "D023N"},          {"47 on Rx", 1, "447.5", "447.50000"},
        {"a Tx frequency", 2, "446.5", "446.50000"},
    };
    for (const char* language : {"English", "Chinese"})
      for (const auto& c : cases) QTest::addRow("%s %s", language, c.name) << language << c.col << c.keys << c.result;
  }
  void typingChangesOnlyTheCurrentCell() {
    QFETCH(QString, language);
    QFETCH(int, col);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    Start(language);
    for (int row = 1; row <= 3; ++row) MakeChannel(row);
    Enter(1, 3, QStringLiteral("12"));  // CH1 decodes 88.5, a tone that starts with 8
    Enter(3, 1, QStringLiteral("447.5"));
    FocusGridAt(2, col);
    QList<QStringList> expected = AllRows();
    expected[1][col - 1] = result;
    Type(keys, table);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTRY_COMPARE(AllRows(), expected);
    QCOMPARE(grid->GetRow(), 2);
    QCOMPARE(grid->GetCol(), col);
    QVERIFY(boxes->seen.isEmpty());
  }

  // Once the channel window hides, the keyboard is elsewhere: typing a
  // channel changes no document nobody can see.
  void keysNeverReachAHiddenWindow_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("hideBy");
    for (const char* language : {"English", "Chinese"})
      for (const char* by : {"Ctrl+F4 on the grid", "Ctrl+F4 in an editor", "File Close", "another window in view"})
        QTest::addRow("%s %s", language, by) << language << by;
  }
  void keysNeverReachAHiddenWindow() {
    QFETCH(QString, language);
    QFETCH(QString, hideBy);
    Start(language);
    CChildFrame* first = frame->ActiveChildFrame();
    CChildFrame* hidden = first;
    if (hideBy == QLatin1String("another window in view")) {
      auto* doc = new CChansetDoc;
      doc->OnNewDocument();
      hidden = frame->CreateDocumentWindow(doc);
      first->show();
      view = hidden->GetView();
      grid = view->Grid();
      table = grid->findChild<QTableView*>();
    }
    CChansetDoc* doc = hidden->GetDocument();
    const chanset::Image before = doc->State();
    if (hideBy == QLatin1String("Ctrl+F4 in an editor"))
      OpenEditor(4, 1);
    else
      FocusGridAt(4, 1);
    if (hideBy == QLatin1String("File Close"))
      frame->OnCommand(ids::kFileClose);
    else
      QTest::keyClick(Focused(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(hidden->isHidden());
    QWidget* expected = hidden == first ? static_cast<QWidget*>(frame->Tree()) : first->GetView();
    QTRY_VERIFY(Within(expected, Focused()));
    Type(QStringLiteral("446.1"), frame);
    QTest::keyClick(Focused() ? Focused() : frame, Qt::Key_Return);
    QVERIFY(doc->State() == before);
    QCOMPARE(grid->GetTextMatrix(4, 1), QString());
    QVERIFY(!doc->History().CanUndo());
  }

  // After the commonest edit, a frequency and Enter, the undo keys reach
  // the document; typing still in an editor is undone there first.
  void undoKeysAfterEnter_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("typed");   // into the Tx editor Enter opened
    QTest::addColumn<QString>("keys");    // z: Ctrl+Z, y: Ctrl+Y, Z: Ctrl+Shift+Z
    QTest::addColumn<bool>("channel");    // row 2 holds the channel afterwards
    QTest::addColumn<QString>("editor");  // the Tx editor's text afterwards, "-" when closed
    const struct {
      const char* name;
      const char* typed;
      const char* keys;
      bool channel;
      const char* editor;
    } cases[] = {
        {"Ctrl+Z", "", "z", false, "-"},
        {"Ctrl+Z then Ctrl+Y", "", "zy", true, "-"},
        {"Ctrl+Z then Ctrl+Shift+Z", "", "zZ", true, "-"},
        {"Ctrl+Z with typing in the editor", "447", "z", true, "446.00625"},
        {"Ctrl+Z twice with typing in the editor", "447", "zz", false, "-"},
    };
    for (const char* language : {"English", "Chinese"})
      for (const auto& c : cases)
        QTest::addRow("%s %s", language, c.name) << language << c.typed << c.keys << c.channel << c.editor;
  }
  void undoKeysAfterEnter() {
    QFETCH(QString, language);
    QFETCH(QString, typed);
    QFETCH(QString, keys);
    QFETCH(bool, channel);
    QFETCH(QString, editor);
    Start(language);
    Enter(2, 1, QStringLiteral("446.00625"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    auto* tx = static_cast<QLineEdit*>(view->EditorOfColumn(2));
    QTRY_VERIFY(tx->isVisible() && tx->hasFocus());
    Type(typed, tx);
    for (QChar k : keys) {
      const Qt::KeyboardModifiers mods = k == QLatin1Char('Z') ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
      QTest::keyClick(Focused(), k.toLower() == QLatin1Char('z') ? Qt::Key_Z : Qt::Key_Y, mods);
    }
    QTRY_COMPARE(grid->GetTextMatrix(2, 1).isEmpty(), !channel);
    QCOMPARE(grid->GetTextMatrix(2, 8).isEmpty(), !channel);
    QCOMPARE(tx->isVisible() ? tx->text() : QStringLiteral("-"), editor);
    QVERIFY(boxes->seen.isEmpty());
  }

  // Esc closes an editor without a commit: the cell keeps its text, the
  // document its history, and the grid the keyboard.
  void escPutsBackTheCell_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("input");
    for (const char* language : {"English", "Chinese"}) {
      QTest::addRow("%s Rx", language) << language << 1 << "447.5";
      QTest::addRow("%s Rx emptied", language) << language << 1 << "";
      QTest::addRow("%s Tx", language) << language << 2 << "500";
      QTest::addRow("%s tone list", language) << language << 3 << "7";
      QTest::addRow("%s power list", language) << language << 8 << "2";
    }
  }
  void escPutsBackTheCell() {
    QFETCH(QString, language);
    QFETCH(int, col);
    QFETCH(QString, input);
    Start(language);
    MakeChannel(3);
    const QList<QStringList> before = AllRows();
    const std::size_t steps = view->GetDocument()->History().Size();
    Enter(3, col, input);
    QWidget* editor = view->EditorOfColumn(col);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(editor->isHidden());
    QVERIFY(table->hasFocus());
    // Leaving the cell afterwards commits nothing either.
    QTest::keyClick(table, Qt::Key_Down);
    QTRY_COMPARE(grid->GetRow(), 4);
    QCOMPARE(AllRows(), before);
    QCOMPARE(view->GetDocument()->History().Size(), steps);
    QVERIFY(boxes->seen.isEmpty());
  }

  // F6 and Shift+F6 go round the tree and the channel window in view.
  void f6MovesBetweenThePanes_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("back");  // Shift+F6
    QTest::addColumn<QString>("to");
    const struct {
      const char* from;
      bool back;
      const char* to;
    } cases[] = {
        {"editor", false, "tree"}, {"editor", true, "tree"},   {"grid", false, "tree"},
        {"tree", false, "editor"}, {"tree", true, "editor"},   {"bar hidden", false, "editor"},
        {"window hidden", false, "tree"},
    };
    for (const char* language : {"English", "Chinese"})
      for (const auto& c : cases)
        QTest::addRow("%s from %s%s", language, c.from, c.back ? " back" : "") << language << c.from << c.back << c.to;
  }
  void f6MovesBetweenThePanes() {
    QFETCH(QString, language);
    QFETCH(QString, from);
    QFETCH(bool, back);
    QFETCH(QString, to);
    Start(language);
    QWidget* editor = OpenEditor(5, 2);
    if (from == QLatin1String("grid")) {
      QTest::keyClick(editor, Qt::Key_Tab);
      QTRY_VERIFY(table->hasFocus());
    } else if (from == QLatin1String("tree")) {
      QTest::keyClick(editor, Qt::Key_F6);
      QTRY_VERIFY(frame->Tree()->hasFocus());
    } else if (from == QLatin1String("bar hidden")) {
      frame->OnCommand(ids::kControlBar);
      QVERIFY(frame->NavigatorBar()->isHidden());
    } else if (from == QLatin1String("window hidden")) {
      QTest::keyClick(editor, Qt::Key_F4, Qt::ControlModifier);
      QTRY_VERIFY(frame->ActiveChildFrame()->isHidden());
    }
    QTest::keyClick(Focused(), Qt::Key_F6, back ? Qt::ShiftModifier : Qt::NoModifier);
    if (to == QLatin1String("tree")) {
      QTRY_VERIFY(frame->Tree()->hasFocus());
    } else {
      // Back in the channel window, on the cell it had.
      QTRY_VERIFY(Within(view, Focused()));
      QCOMPARE(grid->GetRow(), 5);
      QCOMPARE(grid->GetCol(), 2);
    }
  }

  // Enter or Space in the tree runs the item that is selected: the root,
  // which acts when the company text names an item. Power Adjustment is
  // then reached, and edited, by keyboard.
  void treeKeysRunTheSelectedItem_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("English Power Adjustment Enter") << "English" << "Power Adjustment" << int(Qt::Key_Return) << "powerAdjustDlg";
    QTest::newRow("Chinese Power Adjustment Space") << "Chinese" << QString::fromUtf8("功率调整") << int(Qt::Key_Space) << "powerAdjustDlg";
    QTest::newRow("English Optional Features Space") << "English" << "Optional Features" << int(Qt::Key_Space) << "optionalFeaturesDlg";
    QTest::newRow("Chinese Optional Features Enter") << "Chinese" << QString::fromUtf8("可选功能") << int(Qt::Key_Enter) << "optionalFeaturesDlg";
    QTest::newRow("English company text Enter") << "English" << "Kestrel Ridge Radio" << int(Qt::Key_Return) << "";
  }
  void treeKeysRunTheSelectedItem() {
    QFETCH(QString, language);
    QFETCH(QString, company);
    QFETCH(int, key);
    QFETCH(QString, dialog);
    Start(language, company);
    QTest::keyClick(Focused(), Qt::Key_F6);
    QTRY_VERIFY(frame->Tree()->hasFocus());
    const std::uint8_t lowPower = view->GetDocument()->Image()[0x3E0 + chanset::g_nPowerStart];
    QString shown;
    if (!dialog.isEmpty()) OnNextModal([&](QDialog* dlg) {
      shown = dlg->objectName();
      if (auto* power = qobject_cast<CPowerAdjustDlg*>(dlg)) {
        // A digit on the grid opens the editor with it; Enter commits.
        QTRY_VERIFY(power->Grid()->findChild<QTableView*>()->hasFocus());
        Type(QStringLiteral("42"), power);
        QTest::keyClick(Focused(), Qt::Key_Return);
        QTRY_COMPARE(power->Grid()->GetTextMatrix(1, 1), QStringLiteral("42"));
        power->close();
      }
    });
    QTest::keyClick(frame->Tree(), Qt::Key(key));
    QTRY_COMPARE(shown, dialog);
    QVERIFY(!QApplication::activeModalWidget());
    const std::uint8_t stored = view->GetDocument()->Image()[0x3E0 + chanset::g_nPowerStart];
    QCOMPARE(stored, dialog == QLatin1String("powerAdjustDlg") ? std::uint8_t(42) : lowPower);
    QTRY_VERIFY(frame->Tree()->hasFocus());
  }

  // The import preview fits a 1024 x 768 screen, Tab goes table, Renumber,
  // OK, Cancel (and Shift+Tab back), and typing in the table moves nothing.
  void importPreviewTabOrder_data() { AddLanguageRows(); }
  void importPreviewTabOrder() {
    QFETCH(QString, language);
    Start(language);
    chanset::ImportOptions options;
    options.bandText = "400-470MHz";
    options.limits = chanset::DeriveBandLimits(options.bandText);
    options.chinese = chanset::g_bChinese;
    std::string csv =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment\n";
    for (int n = 1; n <= 30; ++n)
      csv += std::to_string(n) + ",Name,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,\n";
    CImportPreviewDlg dlg(frame, QStringLiteral("many.csv"), csv, options);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QVERIFY(dlg.frameGeometry().width() <= 1024 && dlg.frameGeometry().height() <= 768 - 40);
    QVERIFY(dlg.frameGeometry().width() <= dlg.screen()->availableGeometry().width());
    auto* cancel = dlg.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    QTableView* preview = dlg.Table();
    preview->setFocus();
    QTRY_VERIFY(preview->hasFocus());
    const QModelIndex current = preview->currentIndex();
    Type(QStringLiteral("2"), preview);
    QCOMPARE(preview->currentIndex(), current);
    const QList<QWidget*> order{preview, dlg.RenumberBox(), dlg.OkButton(), cancel, preview};
    for (int i = 1; i < order.size(); ++i) {
      QTest::keyClick(Focused(), Qt::Key_Tab);
      QTRY_COMPARE(Focused(), order[i]);
    }
    for (int i = order.size() - 2; i >= 0; --i) {
      QTest::keyClick(Focused(), Qt::Key_Backtab);
      QTRY_COMPARE(Focused(), order[i]);
    }
  }
};

QTEST_MAIN(GridEditorEventsTest)
#include "grid_editor_events_test.moc"
