// The three radio settings dialogs driven through the running program:
// opened from the Edit menu commands and the tree, answered like a user
// would, and checked against the document's image, the registry, the main
// window title and the view's limits.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "dialogs/COptionalFeaturesDlg.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "dialogs/CProductInfoDlg.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/CHelpService.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "platform/UserRegistry.h"

using chanset::Image;
using chanset::Option;

namespace {

QString Ini(const QString& language, const QString& company = QStringLiteral("Kestrel Ridge Radio")) {
  return QStringLiteral(
             "[Setup]\nLanguage=%1\nAppName=DlgTest\n"
             "Type1=A\nType2=B\nType3=\nType4=C\n"
             "Field1=400-470MHz|136-174MHz\nField2=430-470MHz|350-390MHz\n"
             "[English]\nAppName=Chanset\nCompany=%2\n"
             "[Chinese]\nAppName=Chanset 写频软件\nCompany=%2\n")
      .arg(language, company);
}

const char* const kRegistryKey = "Software\\DlgTest";

void Click(QDialog* dlg, int buttonId) {
  auto* button = dlg->findChild<QPushButton*>(QStringLiteral("control%1").arg(buttonId));
  QVERIFY(button);
  button->click();
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;

  // The application directory and a private registry, before start-up.
  void Prepare(const QString& language = QStringLiteral("English"), const QString& ini = QString()) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(ini.isEmpty() ? Ini(language) : ini);
    fx->CopyPack(language);
  }
  void Start(const QString& language = QStringLiteral("English"), const QString& ini = QString()) {
    if (!fx) Prepare(language, ini);
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
  }

  CChansetDoc* Doc() const { return frame->ActiveDocument(); }
  Image& Bytes() const { return frame->ActiveDocument()->Image(); }

  template <class Dlg>
  Dlg* Find() const {
    Dlg* dlg = frame->findChild<Dlg*>();
    return dlg;
  }

  // Shows the Power Adjustment dialog as the tree does and runs `answer` in it.
  void RunPowerDialog(std::function<void(CPowerAdjustDlg*)> answer) {
    OnNextModal([answer](QDialog* d) {
      auto* dlg = qobject_cast<CPowerAdjustDlg*>(d);
      QVERIFY(dlg);
      dlg->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dlg));
      answer(dlg);
    });
    CPowerAdjustDlg* dlg = Find<CPowerAdjustDlg>();
    dlg->SetRowCount(chanset::g_nPowerRows + 1);
    dlg->SetColCount(4);
    dlg->DoModal();
  }

  static QTableView* Table(CPowerAdjustDlg* dlg) { return dlg->Grid()->findChild<QTableView*>(); }

  static void ClickCell(CMSFlexGrid* grid, int row, int col) {
    QPoint p(chanset::TwipsToPixels(grid->GetColPos(col), grid->DpiX()) + 6,
             chanset::TwipsToPixels(grid->GetRowPos(row), grid->DpiY()) + 5);
    QWidget* target = grid->childAt(p);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(grid, p));
  }

 private slots:
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
    CHelpService::ClearLastRequest();
  }

  // Optional Features ---------------------------------------------------------

  void optionalFeaturesShowsANewImageAndOkKeepsIt() {
    Start();
    const Image before = Bytes();
    QStringList shown;
    OnNextModal([&](QDialog* d) {
      auto* dlg = qobject_cast<COptionalFeaturesDlg*>(d);
      QVERIFY(dlg);
      for (const chanset::OptionInfo& info : chanset::Options()) shown << dlg->List(info.option)->currentText();
      Click(d, 1);
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QCOMPARE(shown, QStringList({"45s", "5", "Off", "Chinese", "Emergency Alarm", "Off", "5", "0.3s", "On", "On"}));
    QVERIFY(Bytes() == before);
    QVERIFY(!Doc()->IsModified());
  }

  void optionalFeaturesOkStoresTheChoices() {
    Start();
    Bytes()[0x130] = 0xFF;  // erased: no selection, stored as 0
    Bytes()[0x134] = 0xFF;  // no selection, stored as 0xFF again
    Bytes()[0x139] = 0xFF;  // no selection, stored as 0
    Bytes()[0x136] = 0x7F;  // shows On, stored as 1
    QList<int> unselected;
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<COptionalFeaturesDlg*>(d);
      for (Option o : {Option::TimeOut, Option::Squelch, Option::Vox}) unselected << dlg->List(o)->currentIndex();
      QCOMPARE(dlg->List(Option::Beep)->currentText(), QStringLiteral("On"));
      dlg->List(Option::SideKey)->setCurrentIndex(1);  // Monitor
      dlg->List(Option::Priority)->setCurrentIndex(16);
      Click(d, 1);
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QCOMPARE(unselected, QList<int>({-1, -1, -1}));
    QCOMPARE(Bytes()[0x390], std::uint8_t(0xD9));
    QCOMPARE(Bytes()[0x161], std::uint8_t(16));
    QCOMPARE(Bytes()[0x130], std::uint8_t(0x00));
    QCOMPARE(Bytes()[0x134], std::uint8_t(0xFF));
    QCOMPARE(Bytes()[0x139], std::uint8_t(0x00));
    QCOMPARE(Bytes()[0x136], std::uint8_t(0x01));
    QVERIFY(Doc()->IsModified());
  }

  void optionalFeaturesCancelTouchesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
  }
  void optionalFeaturesCancelTouchesNothing() {
    QFETCH(QString, how);
    Start();
    const Image before = Bytes();
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<COptionalFeaturesDlg*>(d);
      for (const chanset::OptionInfo& info : chanset::Options()) {
        QComboBox* list = dlg->List(info.option);
        list->setCurrentIndex((list->currentIndex() + 1) % list->count());
      }
      if (how == QLatin1String("button"))
        Click(d, 2);
      else if (how == QLatin1String("esc"))
        QTest::keyClick(dlg->List(Option::Squelch), Qt::Key_Escape);
      else
        d->close();
      QVERIFY(!d->isVisible());
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QVERIFY(Bytes() == before);
    QVERIFY(!Doc()->IsModified());
  }

  void optionalFeaturesInChinese() {
    Start(QStringLiteral("Chinese"));
    QStringList sideKey, vox;
    QString priority;
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<COptionalFeaturesDlg*>(d);
      for (int i = 0; i < dlg->List(Option::SideKey)->count(); ++i) sideKey << dlg->List(Option::SideKey)->itemText(i);
      for (int i = 0; i < dlg->List(Option::Vox)->count(); ++i) vox << dlg->List(Option::Vox)->itemText(i);
      priority = dlg->List(Option::Priority)->itemText(0);
      // Opened twice, the lists are rebuilt, not appended to.
      QCOMPARE(dlg->List(Option::Priority)->count(), 17);
      Click(d, 1);
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QCOMPARE(sideKey, QString::fromUtf8("关闭|监听|监听瞬时|紧急报警").split('|'));
    QCOMPARE(vox, QString::fromUtf8("开|关").split('|'));
    QCOMPARE(priority, QString::fromUtf8("关"));
    QCOMPARE(Bytes()[0x390], std::uint8_t(0xF9));
    int count = 0;
    OnNextModal([&](QDialog* d) {
      count = static_cast<COptionalFeaturesDlg*>(d)->List(Option::Priority)->count();
      Click(d, 2);
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QCOMPARE(count, 17);
  }

  void helpKeyAsksForTheFocusedControl() {
    Start();
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<COptionalFeaturesDlg*>(d);
      dlg->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dlg));
      dlg->List(Option::TimeOut)->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
      Click(d, 2);
    });
    frame->OnCommand(ids::kOptionalFeatures);
    QVERIFY(CHelpService::LastRequest().has_value());
    QCOMPARE(CHelpService::LastRequest()->topic, 1118);
  }

  // Product Information --------------------------------------------------------

  void productInfoOkAppliesTheChoice() {
    Start();
    QStringList types, bands;
    OnNextModal([&](QDialog* d) {
      auto* dlg = qobject_cast<CProductInfoDlg*>(d);
      QVERIFY(dlg);
      for (int i = 0; i < dlg->TypeList()->count(); ++i) types << dlg->TypeList()->itemText(i);
      dlg->TypeList()->setCurrentIndex(0);
      dlg->BandList()->setCurrentIndex(1);
      for (int i = 0; i < dlg->BandList()->count(); ++i) bands << dlg->BandList()->itemText(i);
      Click(d, 1);
    });
    frame->OnCommand(ids::kProductInfo);
    QCOMPARE(types, QStringList({"A", "B"}));
    QCOMPARE(bands, QStringList({"400-470MHz", "136-174MHz"}));
    QCOMPARE(Bytes()[0x32E], std::uint8_t(0));
    QCOMPARE(Bytes()[0x32F], std::uint8_t(1));
    QCOMPARE(chanset::UserRegistry::ReadDword(kRegistryKey, "Type", 9), 0u);
    QCOMPARE(chanset::UserRegistry::ReadDword(kRegistryKey, "Field", 9), 1u);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Chanset  [ Type:A  Fre:136-174MHz ]"));
    QCOMPARE(frame->ActiveView()->Limits().lower, 13600000);
    QCOMPARE(frame->ActiveView()->Limits().upper, 17500000);
    QCOMPARE(int(chanset::g_nPowerRows), 5);
    QVERIFY(Doc()->IsModified());
  }

  void productInfoTypeChangeSelectsTheFirstBand() {
    // The last choice in the registry is what the dialog offers first.
    Prepare();
    chanset::UserRegistry::WriteDword(kRegistryKey, "Type", 1);
    chanset::UserRegistry::WriteDword(kRegistryKey, "Field", 1);
    Start();
    int firstType = -1, firstBand = -1;
    QStringList bands;
    int bandAfterChange = -1;
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<CProductInfoDlg*>(d);
      firstType = dlg->TypeList()->currentIndex();
      firstBand = dlg->BandList()->currentIndex();
      dlg->TypeList()->setFocus();
      QTest::keyClick(dlg->TypeList(), Qt::Key_Up);  // to type A
      for (int i = 0; i < dlg->BandList()->count(); ++i) bands << dlg->BandList()->itemText(i);
      bandAfterChange = dlg->BandList()->currentIndex();
      Click(d, 2);
    });
    frame->OnCommand(ids::kProductInfo);
    QCOMPARE(firstType, 1);
    QCOMPARE(firstBand, 1);
    QCOMPARE(bands, QStringList({"400-470MHz", "136-174MHz"}));
    QCOMPARE(bandAfterChange, 0);
  }

  void productInfoCancelChangesNothing() {
    Start();
    const Image before = Bytes();
    const QString title = frame->windowTitle();
    const chanset::BandLimits limits = frame->ActiveView()->Limits();
    const QByteArray registry = AppDirFixture::ReadFile(QString::fromStdString(chanset::UserRegistry::FilePath()));
    OnNextModal([&](QDialog* d) {
      auto* dlg = static_cast<CProductInfoDlg*>(d);
      dlg->TypeList()->setCurrentIndex(1);
      dlg->BandList()->setCurrentIndex(1);
      Click(d, 2);
    });
    frame->OnCommand(ids::kProductInfo);
    QVERIFY(Bytes() == before);
    QCOMPARE(frame->windowTitle(), title);
    QCOMPARE(frame->ActiveView()->Limits().lower, limits.lower);
    QCOMPARE(frame->ActiveView()->Limits().upper, limits.upper);
    QCOMPARE(AppDirFixture::ReadFile(QString::fromStdString(chanset::UserRegistry::FilePath())), registry);
    QVERIFY(!Doc()->IsModified());
  }

  void productInfoTitleIsEnglishInChinese() {
    Start(QStringLiteral("Chinese"));
    QCOMPARE(frame->windowTitle(), QString::fromUtf8("Chanset 写频软件  [ 类型:A  频率:400-470MHz ]"));
    OnNextModal([&](QDialog* d) { Click(d, 1); });
    frame->OnCommand(ids::kProductInfo);
    QCOMPARE(frame->windowTitle(), QString::fromUtf8("Chanset 写频软件  [ Type:A  Fre:400-470MHz ]"));
    QCOMPARE(QString::fromStdString(chanset::g_strTitle), frame->windowTitle());
    // The same type and band again: the image did not change.
    QVERIFY(!Doc()->IsModified());
  }

  // Power Adjustment ---------------------------------------------------------

  void powerTableOfANewDocument() {
    Start();
    const Image before = Bytes();
    QStringList labels, titles, cells;
    QList<int> widths;
    RunPowerDialog([&](CPowerAdjustDlg* dlg) {
      CMSFlexGrid* grid = dlg->Grid();
      for (int r = 1; r < grid->GetRows(); ++r) labels << grid->GetTextMatrix(r, 0);
      for (int k = 1; k < 4; ++k) titles << grid->GetTextMatrix(0, k);
      for (int r = 1; r < grid->GetRows(); ++r)
        cells << QStringList({grid->GetTextMatrix(r, 1), grid->GetTextMatrix(r, 2), grid->GetTextMatrix(r, 3)})
                     .join(',');
      QVERIFY(dlg->Editor()->isHidden());
      for (int c = 0; c < 4; ++c) widths << grid->GetColWidth(c);
      QVERIFY(widths[2] > widths[1]);
      // Every row is in view.
      QVERIFY(grid->GetRowPos(7) + grid->GetRowHeight(7) <=
              chanset::PixelsToTwips(grid->height(), grid->DpiY()));
      dlg->close();
    });
    // Shown again, the grid is laid out the same way.
    QList<int> again;
    RunPowerDialog([&](CPowerAdjustDlg* dlg) {
      for (int c = 0; c < 4; ++c) again << dlg->Grid()->GetColWidth(c);
      dlg->close();
    });
    QCOMPARE(again, widths);
    QCOMPARE(labels, QStringList({"400-409", "410-419", "420-429", "430-439", "440-449", "450-459", "460-470"}));
    QCOMPARE(titles, QStringList({"Low Power", "Middle Power", "High Power"}));
    QCOMPARE(cells, QStringList(7, QStringLiteral("77,155,255")));
    QVERIFY(Bytes() == before);
    QVERIFY(!Doc()->IsModified());
  }

  void powerTableOfTheUpperBand() {
    Prepare(QStringLiteral("Chinese"));
    chanset::UserRegistry::WriteDword(kRegistryKey, "Type", 1);  // B: 430-470MHz
    Start(QStringLiteral("Chinese"));
    for (int i = 0; i < 21; ++i) Bytes()[0x3E0 + i] = std::uint8_t(i);
    QStringList labels;
    QString first, last, title;
    RunPowerDialog([&](CPowerAdjustDlg* dlg) {
      CMSFlexGrid* grid = dlg->Grid();
      for (int r = 1; r < grid->GetRows(); ++r) labels << grid->GetTextMatrix(r, 0);
      first = grid->GetTextMatrix(1, 1);
      last = grid->GetTextMatrix(4, 3);
      title = grid->GetTextMatrix(0, 2);
      grid->SetTextMatrix(4, 3, QStringLiteral("200"));
      dlg->close();
    });
    QCOMPARE(labels, QStringList({"430-439", "440-449", "450-459", "460-470"}));
    QCOMPARE(first, QStringLiteral("9"));
    QCOMPARE(last, QStringLiteral("20"));
    QCOMPARE(title, QString::fromUtf8("中功率"));
    QCOMPARE(Bytes()[0x3F4], std::uint8_t(200));
    QCOMPARE(Bytes()[0x3E8], std::uint8_t(8));  // below the band's rows: untouched
    QVERIFY(Doc()->IsModified());
  }

  void powerTableEditedByKeyboard() {
    Start();
    bool openAfterEsc = false;
    QStringList shown;
    RunPowerDialog([&](CPowerAdjustDlg* dlg) {
      CMSFlexGrid* grid = dlg->Grid();
      QLineEdit* editor = dlg->Editor();
      Table(dlg)->setFocus();
      for (const char* typed : {"300", "-5", "ab"}) {
        const int row = grid->GetRow();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // opens the editor
        QVERIFY(editor->isVisible());
        QVERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QString::fromLatin1(typed));
        if (QByteArray(typed) == "ab") {
          QTest::keyClick(editor, Qt::Key_Escape);  // commits, stays open
          openAfterEsc = dlg->isVisible();
          QCOMPARE(grid->GetRow(), row);
        } else {
          QTest::keyClick(editor, Qt::Key_Return);  // commits, one row down
          QCOMPARE(grid->GetRow(), row + 1);
        }
        QVERIFY(editor->isHidden());
        shown << grid->GetTextMatrix(row, 1);
      }
      // An editor still open when the dialog closes reaches its cell.
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
      QCOMPARE(grid->GetRow(), 4);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QTest::keyClicks(editor, QStringLiteral("12345"));  // three characters at most
      QCOMPARE(editor->text(), QStringLiteral("123"));
      dlg->close();
    });
    QVERIFY(openAfterEsc);
    QCOMPARE(shown, QStringList({"255", "0", "ab"}));
    QCOMPARE(Bytes()[0x3E0], std::uint8_t(255));
    QCOMPARE(Bytes()[0x3E3], std::uint8_t(0));
    QCOMPARE(Bytes()[0x3E6], std::uint8_t(0));  // letters
    QCOMPARE(Bytes()[0x3E9], std::uint8_t(123));
    QCOMPARE(Bytes()[0x3E1], std::uint8_t(155));
    QVERIFY(Doc()->IsModified());
  }

  void powerTableMouse() {
    Start();
    bool labelOpened = true, cellOpened = false;
    int labelHighLight = -1, cellHighLight = -1;
    QString edited;
    RunPowerDialog([&](CPowerAdjustDlg* dlg) {
      CMSFlexGrid* grid = dlg->Grid();
      ClickCell(grid, 3, 0);
      labelOpened = dlg->Editor()->isVisible();
      labelHighLight = grid->GetHighLight();
      ClickCell(grid, 2, 2);
      cellOpened = dlg->Editor()->isVisible();
      cellHighLight = grid->GetHighLight();
      edited = dlg->Editor()->text();
      // The editor covers the cell it edits.
      const QRect cell(grid->mapTo(dlg, QPoint(chanset::TwipsToPixels(grid->GetColPos(2), grid->DpiX()),
                                               chanset::TwipsToPixels(grid->GetRowPos(2), grid->DpiY()))),
                       QSize(chanset::TwipsToPixels(grid->GetColWidth(2), grid->DpiX()),
                             chanset::TwipsToPixels(grid->GetRowHeight(2), grid->DpiY())));
      QVERIFY(cell.intersects(dlg->Editor()->geometry()));
      QVERIFY(cell.contains(dlg->Editor()->geometry().center()));
      dlg->close();
    });
    QVERIFY(!labelOpened);
    QCOMPARE(labelHighLight, int(CMSFlexGrid::HighLightWithFocus));
    QVERIFY(cellOpened);
    QCOMPARE(cellHighLight, int(CMSFlexGrid::HighLightNever));
    QCOMPARE(edited, QStringLiteral("155"));
  }

  // Opening ------------------------------------------------------------------

  void treeOpensTheDialogs() {
    Start(QStringLiteral("English"), Ini(QStringLiteral("English"), QStringLiteral("Power Adjustment")));
    QTreeWidget* tree = frame->Tree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QStringList opened;
    auto pointAndSelect = [&](QTreeWidgetItem* pointAt, QTreeWidgetItem* select) {
      QPoint global = tree->viewport()->mapToGlobal(tree->visualItemRect(pointAt).center());
      QCursor::setPos(global);
      QTRY_COMPARE(QCursor::pos(), global);
      // Each dialog moves the pointer off the tree so that re-selecting the
      // root afterwards runs nothing more.
      OnNextModal([&](QDialog* d) {
        opened << d->metaObject()->className();
        QCursor::setPos(QPoint(0, 0));
        d->close();
      });
      tree->setCurrentItem(select);
    };
    pointAndSelect(root->child(0), root->child(0));
    pointAndSelect(root->child(2), root->child(2));
    pointAndSelect(root, root->child(1));  // the root's text is "Power Adjustment"
    QCOMPARE(opened, QStringList({"CProductInfoDlg", "COptionalFeaturesDlg", "CPowerAdjustDlg"}));
  }

  void noDocumentWindowNoDialog() {
    Start();
    frame->DestroyDocumentWindow(frame->ActiveChildFrame());
    QVERIFY(!frame->ActiveDocument());
    QCOMPARE(Find<COptionalFeaturesDlg>()->DoModal(), -1);
    QCOMPARE(Find<CProductInfoDlg>()->DoModal(), -1);
    QCOMPARE(Find<CPowerAdjustDlg>()->DoModal(), -1);
    frame->OnCommand(ids::kOptionalFeatures);
    QVERIFY(!QApplication::activeModalWidget());
  }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
