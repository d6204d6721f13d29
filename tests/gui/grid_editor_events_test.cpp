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
#include <QTableView>
#include <QTreeWidget>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CWorkspaceClient.h"
#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "data/RadioBands.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "grid/CMSFlexGrid.h"
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

  // The keyboard alone: a row is a script of keys from a starting place,
  // the cells it changes (every other row stays) and where the keyboard
  // ends. Typing on the grid goes to the current cell's editor only; keys
  // after the window hid reach nothing; the undo keys reach the document
  // once the editor has nothing of its own to undo; Esc puts the cell back;
  // F6 and Shift+F6 go round the tree and the channel window.
  void keysActOnlyOnWhatIsInView_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("start");  // "grid r c" or "editor r c"
    QTest::addColumn<QString>("keys");   // text, <Key>, <C-key>, <S-key>, <Close> (File Close)
    QTest::addColumn<QString>("cells");  // "r c text;..." that change
    QTest::addColumn<QString>("focus");  // "tree", or "editor r c" / "grid r c"
    const char* const cases[][5] = {
        {"grid 2 3", "88 <Tab>", "2 3 88.5", "grid 2 3"},
        {"grid 2 4", "d <Tab>", "2 4 D023N", "grid 2 4"},
        {"grid 2 1", "447.5 <Tab>", "2 1 447.50000", "grid 2 1"},
        {"grid 4 1", "<C-F4> 446.1 <Return>", "", "tree"},
        {"editor 4 1", "<C-F4> 446.1 <Return>", "", "tree"},
        {"grid 4 1", "<Close> 446.1 <Return>", "", "tree"},
        {"editor 4 1", "446.1 <Return> <C-Z>", "", "grid 4 2"},
        {"editor 4 1", "446.1 <Return> <C-Z> <C-Y>", "4 1 446.10000;4 2 446.10000", "grid 4 2"},
        {"editor 4 1", "446.1 <Return> <C-Z> <C-S-Z>", "4 1 446.10000;4 2 446.10000", "grid 4 2"},
        {"editor 2 2", "447 <C-Z> <Tab>", "", "grid 2 2"},
        {"editor 2 1", "447.5 <Escape> <Down>", "", "editor 3 1"},
        {"editor 2 8", "<Down> <Escape> <Down>", "", "editor 3 8"},
        {"editor 5 2", "<F6>", "", "tree"},
        {"editor 5 2", "<S-F6>", "", "tree"},
        {"editor 5 2", "<F6> <F6>", "", "grid 5 2"},
        {"editor 5 2", "<C-F4> <F6>", "", "tree"},
    };
    for (const char* language : {"English", "Chinese"})
      for (const auto& c : cases)
        QTest::addRow("%s %s: %s", language, c[0], c[1]) << language << c[0] << c[1] << c[2] << c[3];
  }
  void keysActOnlyOnWhatIsInView() {
    QFETCH(QString, language);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, cells);
    QFETCH(QString, focus);
    Start(language);
    for (int row = 1; row <= 3; ++row) MakeChannel(row);
    Enter(1, 3, QStringLiteral("12"));  // CH1 decodes 88.5, a tone that starts with 8
    Enter(3, 1, QStringLiteral("447.5"));
    const QStringList at = start.split(QLatin1Char(' '));
    QWidget* editor = OpenEditor(at[1].toInt(), at[2].toInt());
    if (at[0] == QLatin1String("grid")) QTest::keyClick(editor, Qt::Key_Tab);
    const QList<QStringList> before = AllRows();
    for (const QString& key : keys.split(QLatin1Char(' '))) {
      QWidget* target = Focused() ? Focused() : static_cast<QWidget*>(frame);
      if (key == QLatin1String("<Close>")) {
        frame->OnCommand(ids::kFileClose);
      } else if (key.startsWith(QLatin1Char('<'))) {
        const QKeySequence seq(QString(key).remove(QRegularExpression(QStringLiteral("[<>]")))
                                   .replace(QLatin1String("C-"), QLatin1String("Ctrl+"))
                                   .replace(QLatin1String("S-"), QLatin1String("Shift+")));
        QTest::keySequence(target, seq);
      } else {
        Type(key, target);
      }
    }
    // Rows with a changed cell are checked at that cell, the others whole.
    QList<QStringList> expected = before;
    for (const QString& cell : cells.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QStringList f = cell.split(QLatin1Char(' '));
      QTRY_COMPARE(grid->GetTextMatrix(f[0].toInt(), f[1].toInt()), f[2]);
      expected[f[0].toInt() - 1] = Row(f[0].toInt());
    }
    QTRY_COMPARE(AllRows(), expected);
    const QStringList f = focus.split(QLatin1Char(' '));
    if (f[0] == QLatin1String("tree")) {
      QTRY_VERIFY(frame->Tree()->hasFocus());
    } else {
      QWidget* where = f[0] == QLatin1String("grid") ? static_cast<QWidget*>(table) : view->EditorOfColumn(f[2].toInt());
      QTRY_VERIFY(Within(where, Focused()));
      QCOMPARE(QPoint(grid->GetRow(), grid->GetCol()), QPoint(f[1].toInt(), f[2].toInt()));
    }
    QVERIFY(boxes->seen.isEmpty());
  }

  // In a workspace narrower than the channel window, the cell with the
  // keyboard is scrolled into view, and a file opened after that shows
  // its window from the left edge with its cell in view.
  void workspaceScrollsToTheKeyboardsCell_data() { AddLanguageRows(); }
  void workspaceScrollsToTheKeyboardsCell() {
    QFETCH(QString, language);
    Start(language);
    frame->resize(640, 560);
    FileDialogRecorder files;
    files.answers << fx->WorkPath(QStringLiteral("a.dat")) << fx->WorkPath(QStringLiteral("a.dat"));
    frame->OnCommand(ids::kFileSave);
    for (int cols = 1; cols <= 7; ++cols) QTest::keyClick(OpenEditor(1, cols), Qt::Key_Return);
    QWidget* area = frame->Workspace()->viewport();
    auto inView = [&](CChansetView* v) {
      const QRect cell = v->CurrentCellRect();
      return area->rect().contains(QRect(v->mapTo(area, cell.topLeft()), cell.size()));
    };
    QTRY_VERIFY(view->EditorOfColumn(8)->isVisible() && inView(view));
    frame->OnCommand(ids::kFileOpen);
    CChansetView* opened = frame->ActiveView();
    QVERIFY(opened != view);
    QVERIFY(opened->Frame()->mapTo(area, QPoint(0, 0)).x() >= 0);
    QTRY_VERIFY(Within(opened, Focused()));
    QVERIFY(inView(opened));
  }

  // Enter or Space in the tree runs the item that is selected: the root,
  // which acts when the company text names an item. Power Adjustment is
  // then reached and edited by keyboard: a digit on its grid opens the
  // editor with it, Enter commits, closing stores.
  void treeKeysRunTheSelectedItem_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("English Power Adjustment Enter") << "English" << "Power Adjustment" << int(Qt::Key_Return) << "powerAdjustDlg";
    QTest::newRow("Chinese Power Adjustment Space") << "Chinese" << QString::fromUtf8("功率调整") << int(Qt::Key_Space) << "powerAdjustDlg";
    QTest::newRow("Chinese Optional Features Enter") << "Chinese" << QString::fromUtf8("可选功能") << int(Qt::Key_Enter) << "optionalFeaturesDlg";
    QTest::newRow("English company text Enter") << "English" << "Kestrel Ridge Radio" << int(Qt::Key_Return) << "";
  }
  void treeKeysRunTheSelectedItem() {
    QFETCH(QString, language);
    QFETCH(QString, company);
    QFETCH(int, key);
    QFETCH(QString, dialog);
    Start(language, company);
    // The pointer away from the tree's items: only the keys act.
    QCursor::setPos(frame->mapToGlobal(QPoint(frame->width() - 5, frame->height() - 40)));
    QTest::keyClick(Focused(), Qt::Key_F6);
    QTRY_VERIFY(frame->Tree()->hasFocus());
    std::uint8_t& lowPower = view->GetDocument()->Image()[0x3E0 + chanset::g_nPowerStart];
    const std::uint8_t expected = dialog == QLatin1String("powerAdjustDlg") ? 42 : lowPower;
    QString shown;
    if (!dialog.isEmpty()) OnNextModal([&](QDialog* dlg) {
      shown = dlg->objectName();
      if (!qobject_cast<CPowerAdjustDlg*>(dlg)) return;
      QVERIFY(QTest::qWaitForWindowActive(dlg));
      QTRY_VERIFY(Within(dlg, Focused()));
      Type(QStringLiteral("42"), dlg);
      QTest::keyClick(Focused(), Qt::Key_Return);
      dlg->close();
    });
    QTest::keyClick(frame->Tree(), Qt::Key(key));
    QTRY_COMPARE(shown, dialog);
    QCOMPARE(lowPower, expected);
    QTRY_VERIFY(frame->Tree()->hasFocus());
  }

  // The import preview fits a 1024 x 768 screen, Tab goes table, Renumber,
  // OK, Cancel and round, and typing in the table moves nothing.
  void importPreviewTabOrder_data() { AddLanguageRows(); }
  void importPreviewTabOrder() {
    QFETCH(QString, language);
    Start(language);
    chanset::ImportOptions options;
    options.limits = chanset::DeriveBandLimits("400-470MHz");
    CImportPreviewDlg dlg(frame, QStringLiteral("many.csv"), ChirpCsvRows(30, "446.006250"), options);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QVERIFY(dlg.frameGeometry().width() <= 1024 && dlg.frameGeometry().height() <= 768 - 40);
    QTableView* preview = dlg.Table();
    preview->setFocus();
    QTRY_VERIFY(preview->hasFocus());
    const QModelIndex current = preview->currentIndex();
    Type(QStringLiteral("2"), preview);
    QCOMPARE(preview->currentIndex(), current);
    const QList<QWidget*> order{preview, dlg.RenumberBox(), dlg.OkButton(),
                                dlg.findChild<QPushButton*>(QStringLiteral("cancelButton")), preview};
    for (QWidget* next : order.mid(1)) {
      QTest::keyClick(Focused(), Qt::Key_Tab);
      QTRY_COMPARE(Focused(), next);
    }
  }
};

QTEST_MAIN(GridEditorEventsTest)
#include "grid_editor_events_test.moc"
