// What a screen reader can say, in both languages: every control the
// keyboard reaches in the main window (with the editor of each grid column
// open in turn) and in every dialog of the program has a name, and the
// names are the texts the user sees beside the controls; menu items are
// named without the shortcut written into their text.
#include <QAccessible>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "data/RadioBands.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "grid/CMSFlexGrid.h"
#include "link/CCompareDlg.h"
#include "link/CProcessDlg.h"
#include "link/CTransferController.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {

// The name a screen reader says: the text of a label bound to the control,
// else the control's own name. A drop-down list's own name is its value on
// this platform, so a list is named only by a label.
QString SpokenName(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  if (!iface) return QString();
  for (const auto& relation : iface->relations(QAccessible::Label)) {
    const QString label = relation.first->text(QAccessible::Name);
    if (!label.isEmpty()) return label;
  }
  return iface->role() == QAccessible::ComboBox ? QString() : iface->text(QAccessible::Name);
}

// Every control of `window` the keyboard can reach that has no name, as
// "window: class (object name)".
QStringList Unnamed(QWidget* window) {
  QStringList unnamed;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisible() || !w->isEnabled() || w->focusProxy() || !(w->focusPolicy() & Qt::TabFocus)) continue;
    if (SpokenName(w).trimmed().isEmpty())
      unnamed << QStringLiteral("%1: %2 (%3)").arg(window->objectName(), w->metaObject()->className(), w->objectName());
  }
  return unnamed;
}

// Items of a menu or the menu bar whose name is empty or carries a
// shortcut or an access-key mark.
QStringList BadItemNames(QWidget* menu) {
  static const QRegularExpression kShortcutOrMark(QStringLiteral("Ctrl\\+|Alt\\+|\\tDel|  |&|\\(\\w\\)$"));
  QStringList bad;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
  for (int i = 0; iface && i < iface->childCount(); ++i) {
    QAccessibleInterface* item = iface->child(i);
    if (!item || item->role() == QAccessible::Separator) continue;
    const QString name = item->text(QAccessible::Name);
    if (name.isEmpty() || name.contains(kShortcutOrMark)) bad << name;
  }
  return bad;
}

}  // namespace

class AccessibleNamesTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;

  void Start(const QString& language) {
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(IniIn(language));
    fx->CopyPack(language);
    boxes = std::make_unique<BoxRecorder>();
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance({}), CChansetApp::StartResult::Ok);
    frame = app->MainFrame();
    frame->showNormal();
    frame->setObjectName(QStringLiteral("mainWindow"));
  }

  // Runs `command`; the modal dialog it shows is walked, then closed.
  QStringList UnnamedInModal(int command) {
    QStringList unnamed;
    bool shown = false;
    OnNextModal([&](QDialog* dlg) {
      shown = true;
      unnamed = Unnamed(dlg);
    });
    frame->OnCommand(command);
    if (!shown) unnamed << QStringLiteral("no dialog for command %1").arg(command);
    return unnamed;
  }

 private slots:
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
  }

  void everyControlHasAName_data() { AddLanguageRows(); }
  void everyControlHasAName() {
    QFETCH(QString, language);
    Start(language);
    CChansetView* view = frame->ActiveView();
    CMSFlexGrid* grid = view->Grid();
    QStringList unnamed = Unnamed(frame);
    // Each column's editor, open over its cell.
    for (int col = 1; col <= 8; ++col) {
      grid->SetRow(3);
      grid->SetCol(col);
      QTRY_VERIFY(view->EditorOfColumn(col)->isVisible());
      unnamed << Unnamed(frame);
    }
    QStringList badItems = BadItemNames(frame->menuBar());
    for (QMenu* menu : frame->findChildren<QMenu*>()) badItems << BadItemNames(menu);
    QVERIFY2(badItems.isEmpty(), qPrintable(badItems.join(QLatin1Char('|'))));

    for (int command : {ids::kOptionalFeatures, ids::kProductInfo, ids::kPowerAdjustment, ids::kComSetup,
                        ids::kLanguage, ids::kAppAbout})
      unnamed << UnnamedInModal(command);
    // A message box.
    CMessageBox::SetResponder({});
    OnNextModal([&](QDialog* box) { unnamed << Unnamed(box); });
    CMessageBox::Show(frame, QStringLiteral("?"), CMessageBox::OkCancel);
    // The progress window, the compare window and the import preview.
    frame->OnCommand(ids::kRead);
    CProcessDlg* process = CTransferController::For(view)->ProcessDlg();
    QVERIFY(process->isVisible());
    process->setObjectName(QStringLiteral("process"));
    unnamed << Unnamed(process);
    QVERIFY(!process->ProgressBar()->accessibleName().isEmpty());
    process->reject();
    CCompareDlg compare(frame);
    compare.ShowDifferences({QStringLiteral("CH 1 Rx Frequency: 446.00625 -> 446.01250")});
    unnamed << Unnamed(&compare);
    chanset::ImportOptions options;
    options.limits = chanset::DeriveBandLimits("400-470MHz");
    CImportPreviewDlg preview(frame, QStringLiteral("a.csv"), "Location,Frequency\n1,446.006250\n", options);
    preview.show();
    unnamed << Unnamed(&preview);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('|'))));
  }

  // Names are the texts the user sees: a field's label, a column title and
  // channel for an editor, a menu item's text (its shortcut apart).
  void namesAreTheShownTexts_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("optionLabel");
    QTest::addColumn<QString>("editorName");
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("English") << "English" << "Time Out Time" << "QT/DQT Dec, channel 7" << "New";
    QTest::newRow("Chinese") << "Chinese" << QString::fromUtf8("超时定时器") << QString::fromUtf8("QT/DQT解码，信道 7")
                             << QString::fromUtf8("新建");
  }
  void namesAreTheShownTexts() {
    QFETCH(QString, language);
    QFETCH(QString, optionLabel);
    QFETCH(QString, editorName);
    QFETCH(QString, menuItem);
    Start(language);
    CChansetView* view = frame->ActiveView();
    view->Grid()->SetRow(7);
    view->Grid()->SetCol(3);
    QTRY_VERIFY(view->EditorOfColumn(3)->isVisible());
    QCOMPARE(SpokenName(view->EditorOfColumn(3)), editorName);
    QAccessibleInterface* file = QAccessible::queryAccessibleInterface(frame->DocMenuPopup(0));
    QCOMPARE(file->child(0)->text(QAccessible::Name), menuItem);
    QCOMPARE(file->child(0)->text(QAccessible::Accelerator), QStringLiteral("Ctrl+N"));
    QString timeOut;
    OnNextModal([&](QDialog* dlg) { timeOut = SpokenName(dlg->findChild<QComboBox*>(QStringLiteral("control1118"))); });
    frame->OnCommand(ids::kOptionalFeatures);
    QCOMPARE(timeOut, optionLabel);
  }
};

QTEST_MAIN(AccessibleNamesTest)
#include "accessible_names_test.moc"
