// The main window as a user meets it, in both languages, driven by real
// mouse and key events: the navigation tree returning to its root and
// drawing its lines, Ctrl+F4 on the channel window, the frame title with a
// maximised channel window, the toolbar, the lock-key panes, Qt's own
// dialogs in the interface language, fixed text colours on a dark palette,
// and a name a screen reader can say for every control of the main window
// and of every dialog (the text the user sees beside it; menu items without
// the shortcut written into their text).
//
// Run on the offscreen platform by ctest, and partly once more under Xvfb
// with the xcb platform, where the lock panes follow the keyboard's lights
// and X11's own key bindings apply. With CHANSET_SCREENSHOT_DIR set it saves
// pictures of the window (light and dark), the tree, the lock panes, the
// file dialog, the print preview, the page set-up and the import preview
// there.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyleOptionToolBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtGui/qguiapplication_platform.h>
#include <functional>

#include "ShellTestSupport.h"
#include "X11Locks.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CLockIndicators.h"
#include "app/CMainFrame.h"
#include "data/CChansetDoc.h"
#include "data/RadioBands.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "grid/CMSFlexGrid.h"
#include "link/CCompareDlg.h"
#include "link/CProcessDlg.h"
#include "link/CTransferController.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/QtTranslations.h"
#include "platform/ReadableColour.h"
#include "platform/ResourceIds.h"

namespace {

bool Chinese(const QString& language) { return language == QLatin1String("Chinese"); }

// Runs `handle` on every modal dialog that comes up while it lives (each
// showing once), from inside the dialog's own event loop.
class ModalHandler {
 public:
  explicit ModalHandler(std::function<void(QWidget*)> handle) : m_handle(std::move(handle)) {
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == m_pBusy || !modal->isVisible()) return;
      m_pBusy = modal;
      ++shown;
      m_handle(modal);
      m_pBusy = nullptr;
    });
    m_timer.start();
  }
  int shown = 0;

 private:
  std::function<void(QWidget*)> m_handle;
  QTimer m_timer;
  QWidget* m_pBusy = nullptr;
};

// Pixels of `image` inside `rect` that have `colour` (in 8 bits a channel).
int CountColour(const QImage& image, const QRect& rect, const QColor& colour) {
  int n = 0;
  const QRect r = rect.intersected(image.rect());
  const QRgb rgb = colour.rgb();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixel(x, y) == rgb) ++n;
  return n;
}

// Rows of `rect` whose pixels are not all of one colour.
int UnevenRows(const QImage& image, const QRect& rect) {
  int uneven = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left() + 1; x <= rect.right(); ++x)
      if (image.pixel(x, y) != image.pixel(rect.left(), y)) {
        ++uneven;
        break;
      }
  return uneven;
}

QRect HandleRect(QToolBar* toolbar) {
  QStyleOptionToolBar opt;
  opt.initFrom(toolbar);
  opt.features = QStyleOptionToolBar::Movable;
  opt.toolBarArea = Qt::TopToolBarArea;
  opt.state |= QStyle::State_Horizontal;
  return toolbar->style()->subElementRect(QStyle::SE_ToolBarHandle, &opt, toolbar);
}

void SaveShot(const QImage& image, const QString& name) {
  const QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
  if (!dir.isEmpty()) QVERIFY(image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// A key press and release where keys go: the focused widget.
void PressShift(QWidget* fallback) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
  QTest::keyClick(target, Qt::Key_Shift);
}

bool OnX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// A dark palette as desktops set one: light texts on dark faces.
QPalette DarkPalette() {
  QPalette p;
  for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase})
    p.setColor(role, QColor(45, 45, 45));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) p.setColor(role, QColor(230, 230, 230));
  return p;
}

double Contrast(const QColor& a, const QColor& b) {
  return chanset::ContrastRatio({a.red(), a.green(), a.blue()}, {b.red(), b.green(), b.blue()});
}

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

void* X11Display() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->display() : nullptr;
}

}  // namespace

class MainWindowEventsTest : public QObject {
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
    frame->setGeometry(40, 40, 1000, 700);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
  }

  QTreeWidget* Tree() const { return frame->Tree(); }
  QTreeWidgetItem* Root() const { return Tree()->topLevelItem(0); }

  // The pointer goes to the item and clicks it, as a user's would.
  void ClickItem(QTreeWidgetItem* item) {
    const QPoint at = Tree()->visualItemRect(item).center();
    const QPoint global = Tree()->viewport()->mapToGlobal(at);
    QCursor::setPos(global);
    QTRY_COMPARE(QCursor::pos(), global);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, at);
  }

  void PointAway() {
    const QPoint away = frame->mapToGlobal(QPoint(frame->width() - 5, frame->height() - 40));
    QCursor::setPos(away);
    QTRY_COMPARE(QCursor::pos(), away);
  }

  // The tree shows the root, and only the root, selected; no other row is
  // drawn highlighted.
  void VerifyRootShown() {
    QTRY_COMPARE(Tree()->selectedItems(), QList<QTreeWidgetItem*>({Root()}));
    QCOMPARE(Tree()->currentItem(), Root());
    const QImage shot = Tree()->viewport()->grab().toImage();
    const QColor highlight = Tree()->palette().color(
        Tree()->hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    for (int i = 0; i < Root()->childCount(); ++i)
      QCOMPARE(CountColour(shot, Tree()->visualItemRect(Root()->child(i)), highlight), 0);
    QVERIFY(CountColour(shot, Tree()->visualItemRect(Root()), highlight) > 0);
  }

 private slots:
  void cleanup() {
    app.reset();
    boxes.reset();
    fx.reset();
    frame = nullptr;
  }

  // A click on a child opens its dialog; however the dialog is closed, the
  // root is selected afterwards. Closed by keyboard with the pointer still
  // on the item, the re-selection of the root runs the item once more.
  void treeReturnsToTheRootAfterADialog_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("closeBy");
    QTest::addColumn<int>("shown");
    for (const char* language : {"English", "Chinese"}) {
      for (int child : {0, 2}) {
        const QByteArray name = QByteArray(language) + (child == 0 ? " Product Information" : " Optional Features");
        QTest::newRow(name + " OK") << language << child << "OK" << 1;
        QTest::newRow(name + " Cancel") << language << child << "Cancel" << 1;
        QTest::newRow(name + " Esc") << language << child << "Esc" << 2;
      }
    }
  }
  void treeReturnsToTheRootAfterADialog() {
    QFETCH(QString, language);
    QFETCH(int, child);
    QFETCH(QString, closeBy);
    QFETCH(int, shown);
    Start(language);
    ModalHandler closer([&](QWidget* dialog) {
      if (closeBy == QLatin1String("Esc")) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        return;
      }
      auto* button = dialog->findChild<QAbstractButton*>(closeBy == QLatin1String("OK") ? "control1" : "control2");
      QVERIFY(button);
      // The pointer must really be on the button before the click: where it
      // is when the dialog closes decides whether the tree runs an item.
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      const QPoint target = button->mapToGlobal(button->rect().center());
      QCursor::setPos(target);
      QTRY_COMPARE(QCursor::pos(), target);
      QTest::mouseClick(button, Qt::LeftButton);
    });
    ClickItem(Root()->child(child));
    QCOMPARE(closer.shown, shown);
    VerifyRootShown();
    // A second click on the same item opens it again.
    ClickItem(Root()->child(child));
    QCOMPARE(closer.shown, 2 * shown);
    VerifyRootShown();
  }

  // Up and Down move the selection, which comes straight back to the root
  // and opens nothing while the pointer is away from the items.
  void arrowKeysWithThePointerAwayOpenNothing_data() { AddLanguageRows(); }
  void arrowKeysWithThePointerAwayOpenNothing() {
    QFETCH(QString, language);
    Start(language);
    QList<int> actions;
    connect(frame, &CMainFrame::treeActionRun, this, [&](int a) { actions << a; });
    PointAway();
    Tree()->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(Tree()->hasFocus());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Down}) {
      QTest::keyClick(Tree(), key);
      VerifyRootShown();
    }
    QVERIFY(actions.isEmpty());
    SaveShot(frame->grab().toImage(), QStringLiteral("main-window-") + language);
  }

  // Lines, buttons and lines at the root: a box with a minus at the root,
  // a dotted line down from it past every child, a dotted branch to each
  // child, and nothing below the last child.
  void treeDrawsItsConnectingLines_data() { AddLanguageRows(); }
  void treeDrawsItsConnectingLines() {
    QFETCH(QString, language);
    Start(language);
    QTreeWidget* tree = Tree();
    const QImage shot = tree->viewport()->grab().toImage();
    SaveShot(shot, QStringLiteral("tree-") + language);
    const QColor line = tree->palette().color(QPalette::Dark);
    const int indent = tree->indentation();
    const QRect root = tree->visualItemRect(Root());
    const int rootMid = root.left() - indent + indent / 2;
    // The root's box, with the line down to its children below it.
    // Lines meet at the middle of each indentation cell.
    const QRect box(rootMid - 4, root.top() + root.height() / 2 - 4, 9, 9);
    QVERIFY(CountColour(shot, box, line) >= 28);
    QCOMPARE(CountColour(shot, QRect(rootMid, root.top(), 1, box.top() - root.top()), line), 0);
    for (int i = 0; i < Root()->childCount(); ++i) {
      const QRect item = tree->visualItemRect(Root()->child(i));
      const int mid = item.left() - indent + indent / 2;
      QCOMPARE(mid, rootMid + indent);
      const int y = item.top() + item.height() / 2;
      const QRect above(mid, item.top(), 1, y - item.top());
      const QRect across(mid + 1, y, item.left() - mid - 1, 1);
      const QRect below(mid, y + 1, 1, item.bottom() - y);
      QVERIFY2(CountColour(shot, above, line) >= above.height() / 2 - 1, qPrintable(QString::number(i)));
      QVERIFY2(CountColour(shot, across, line) >= across.width() / 2 - 1, qPrintable(QString::number(i)));
      const bool last = i == Root()->childCount() - 1;
      QCOMPARE(CountColour(shot, below, line) == 0, last);
      // The line from the root's box runs down in the root's column too.
      QVERIFY(CountColour(shot, QRect(rootMid, item.top(), 1, item.height()), line) == 0);
    }
    // The children hang off the line under the root's box.
    const QRect underBox(rootMid, box.bottom() + 1, 1, root.bottom() - box.bottom());
    QVERIFY(CountColour(shot, underBox, line) == 0);
  }

  // Ctrl+F4 hides the channel window wherever the focus is in it; Channel
  // Information brings the same window back. The window menu names the key.
  void ctrlF4HidesTheChannelWindow_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("focus");
    for (const char* language : {"English", "Chinese"})
      for (const char* focus : {"grid", "editor", "form", "title bar"})
        QTest::newRow(QByteArray(language) + " " + focus) << language << focus;
  }
  void ctrlF4HidesTheChannelWindow() {
    QFETCH(QString, language);
    QFETCH(QString, focus);
    Start(language);
    CChildFrame* child = frame->ActiveChildFrame();
    CChansetView* view = child->GetView();
    CMSFlexGrid* grid = view->Grid();
    view->GetDocument()->Image()[0x40] = 0x5A;
    if (focus == QLatin1String("grid")) {
      grid->setFocus(Qt::OtherFocusReason);
    } else if (focus == QLatin1String("editor")) {
      QWidget* cells = grid->findChild<QAbstractItemView*>()->viewport();
      QTest::mouseClick(cells, Qt::LeftButton, {}, cells->rect().center());
      QTRY_VERIFY(view->EditorOfColumn(grid->GetCol())->hasFocus());
    } else if (focus == QLatin1String("form")) {
      QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(4, 4));
    } else {
      const int title = child->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, child);
      QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(child->width() / 3, title / 2));
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget*>(frame);
    QVERIFY(child->isAncestorOf(target) || target == child || target == frame);
    QTest::keyClick(target, Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(child->isHidden());
    QCOMPARE(frame->ChildFrames().size(), 1);

    // The window menu's Close shows the key.
    bool named = false;
    for (QAction* action : child->systemMenu()->actions())
      if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F4))
        named = action->text().contains(Chinese(language) ? QStringLiteral("关闭") : QStringLiteral("Close"));
    QVERIFY(named);

    // Channel Information in the tree shows it again with its data.
    ClickItem(Root()->child(1));
    QTRY_VERIFY(child->isVisible());
    QCOMPARE(frame->ActiveChildFrame(), child);
    QCOMPARE(view->GetDocument()->Image()[0x40], std::uint8_t(0x5A));
  }

  // The view sets the title; maximising and restoring the channel window
  // leaves it as the view set it, also when the view changed it meanwhile.
  void maximisedChannelWindowLeavesTheTitle_data() { AddLanguageRows(); }
  void maximisedChannelWindowLeavesTheTitle() {
    QFETCH(QString, language);
    Start(language);
    const QString title = QString::fromStdString(chanset::g_strTitle);
    QVERIFY(!title.isEmpty());
    QCOMPARE(frame->windowTitle(), title);
    CChildFrame* child = frame->ActiveChildFrame();
    // Maximize from the window menu.
    child->showSystemMenu();
    QMenu* menu = child->systemMenu();
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QAction* maximize = nullptr;
    for (QAction* action : menu->actions())
      if (action->text() == (Chinese(language) ? QStringLiteral("最大化(&X)") : QStringLiteral("Ma&ximize"))) maximize = action;
    QVERIFY(maximize);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(maximize).center());
    QTRY_VERIFY(child->isMaximized());
    QTest::qWait(50);
    QCOMPARE(frame->windowTitle(), title);
    emit child->GetView()->titleChanged(QStringLiteral("Another [ Type:X ]"));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Another [ Type:X ]"));
    child->showNormal();
    QTRY_VERIFY(!child->isMaximized());
    QTest::qWait(50);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Another [ Type:X ]"));
  }

  // No gripper is drawn where the style draws one; the bar still docks at
  // another edge when dragged there by that place.
  void toolbarHasNoGripperAndDocksAnywhere_data() { AddLanguageRows(); }
  void toolbarHasNoGripperAndDocksAnywhere() {
    QFETCH(QString, language);
    Start(language);
    QToolBar* toolbar = frame->ToolBar();
    QCOMPARE(frame->toolBarArea(toolbar), Qt::TopToolBarArea);
    QCOMPARE(toolbar->allowedAreas(), Qt::AllToolBarAreas);
    const QRect handle = HandleRect(toolbar);
    QVERIFY(handle.width() > 2 && handle.height() > 2);
    QCOMPARE(UnevenRows(toolbar->grab().toImage(), handle), 0);
    // The same bar in the plain style has a gripper there.
    QToolBar plain;
    plain.addAction(QStringLiteral("x"));
    plain.resize(toolbar->size());
    QVERIFY(UnevenRows(plain.grab().toImage(), HandleRect(&plain)) > 0);

    // Dragged by the handle to the bottom of the window, it docks there.
    // The bar holds the mouse while it is dragged, so every move goes to it
    // (the offscreen platform cannot grab the mouse: the test delivers them).
    const QPoint from = toolbar->mapToGlobal(handle.center());
    const QPoint to = frame->mapToGlobal(QPoint(frame->width() / 2, frame->height() - 30));
    auto send = [&](QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
      QMouseEvent event(type, toolbar->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
      QApplication::sendEvent(toolbar, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= 20; ++step) send(QEvent::MouseMove, from + (to - from) * step / 20, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    QTRY_COMPARE(frame->toolBarArea(toolbar), Qt::BottomToolBarArea);
    QTRY_VERIFY(!toolbar->isFloating());
  }

  // A right click on the toolbar offers the toolbar by its name; choosing
  // it hides the bar, and View → Toolbar shows it again.
  void toolbarContextMenuNamesTheBar_data() { AddLanguageRows(); }
  void toolbarContextMenuNamesTheBar() {
    QFETCH(QString, language);
    Start(language);
    QToolBar* toolbar = frame->ToolBar();
    const QPoint empty(toolbar->width() - 10, toolbar->height() / 2);
    QVERIFY(!toolbar->actionAt(empty));
    QTest::mouseClick(frame->windowHandle(), Qt::RightButton, {}, toolbar->mapTo(frame, empty));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->actions().size(), 1);
    QAction* item = menu->actions().first();
    const QString viewItem = Chinese(language) ? QStringLiteral("工具栏(&T)") : QStringLiteral("&Toolbar");
    QCOMPARE(item->text(), viewItem);
    QVERIFY(item->isChecked());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    QTRY_VERIFY(toolbar->isHidden());

    // View → Toolbar, from the menu bar.
    QMenu* viewMenu = frame->DocMenuPopup(3);
    QMenuBar* bar = frame->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(viewMenu->menuAction()).center());
    QTRY_VERIFY(viewMenu->isVisible());
    QAction* toggle = viewMenu->actions().first();
    QCOMPARE(toggle->text(), viewItem);
    QVERIFY(!toggle->isChecked());
    QTest::mouseClick(viewMenu, Qt::LeftButton, {}, viewMenu->actionGeometry(toggle).center());
    QTRY_VERIFY(toolbar->isVisible());
    QCOMPARE(frame->toolBarArea(toolbar), Qt::TopToolBarArea);
  }

  // Where the platform cannot tell the lock keys' state, the panes are grey
  // with their texts; on X11 they follow the lights, refreshed by the next
  // key event and by activation.
  void lockPanes_data() { AddLanguageRows(); }
  void lockPanes() {
    QFETCH(QString, language);
    Start(language);
    CLockIndicators* locks = frame->LockIndicators();
    const QString texts[] = {CLanguagePack::String(ids::kIndicatorCaps), CLanguagePack::String(ids::kIndicatorNum),
                             CLanguagePack::String(ids::kIndicatorScrl)};
    QCOMPARE(texts[0], Chinese(language) ? QStringLiteral("大写") : QStringLiteral("CAP"));
    QLabel* caps = locks->Pane(chanset::LockPane::Caps);
    QLabel* num = locks->Pane(chanset::LockPane::Num);
    QLabel* scroll = locks->Pane(chanset::LockPane::Scroll);
    // The panes sit at the right of the status bar, in this order.
    QVERIFY(caps->x() < num->x() && num->x() < scroll->x());
    QVERIFY(frame->statusBar()->isAncestorOf(caps));
    if (!OnX11()) {
      QVERIFY(!CLockIndicators::ReadKeys().has_value());
      PressShift(frame);
      int i = 0;
      for (QLabel* pane : {caps, num, scroll}) {
        QCOMPARE(pane->text(), texts[i++]);
        QVERIFY(!pane->isEnabled());
      }
      return;
    }
    void* display = X11Display();
    QVERIFY(display);
    QVERIFY(SetX11Lock(display, X11Lock::Caps, true));
    QVERIFY(SetX11Lock(display, X11Lock::Num, false));
    PressShift(frame);
    QTRY_COMPARE(caps->text(), texts[0]);
    QVERIFY(caps->isEnabled());
    QCOMPARE(num->text(), QString());
    SaveShot(frame->statusBar()->grab().toImage(), QStringLiteral("lock-panes-caps-") + language);
    QVERIFY(SetX11Lock(display, X11Lock::Caps, false));
    QVERIFY(SetX11Lock(display, X11Lock::Num, true));
    // Activation reads again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(frame, &activate);
    QTRY_COMPARE(num->text(), texts[1]);
    QVERIFY(num->isEnabled());
    QCOMPARE(caps->text(), QString());
    QVERIFY(SetX11Lock(display, X11Lock::Num, false));
  }

  // The header and channel-number blue, the red title line and the red of
  // refused import rows: exactly as designed on the light palette, readable
  // (4.5:1) and of the same hue on a dark one, and drawn so.
  void darkPaletteKeepsFixedTextsReadable_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("dark");
    for (const char* language : {"English", "Chinese"})
      for (bool dark : {false, true}) QTest::addRow("%s %s", language, dark ? "dark" : "light") << language << dark;
  }
  void darkPaletteKeepsFixedTextsReadable() {
    QFETCH(QString, language);
    QFETCH(bool, dark);
    Start(language);
    const QPalette before = QApplication::palette();
    auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    if (dark) QApplication::setPalette(DarkPalette());
    CChansetView* view = frame->ActiveView();
    QTRY_COMPARE(view->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    CMSFlexGrid* grid = view->Grid();
    chanset::ImportOptions options;
    options.limits = chanset::DeriveBandLimits("400-470MHz");
    CImportPreviewDlg preview(frame, QStringLiteral("a.csv"), ChirpCsvRows(1, "146.520000"), options);
    preview.show();
    const QPalette shown = QApplication::palette();
    const struct {
      QColor colour, designed, background;
    } texts[] = {
        {grid->ShownForeColorFixed(), QColor(0, 50, 240), shown.color(QPalette::Button)},
        {view->findChild<QLabel*>(QStringLiteral("control1006"))->palette().color(QPalette::WindowText),
         QColor(250, 10, 10), shown.color(QPalette::Window)},
        {preview.Table()->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(170, 0, 0),
         shown.color(QPalette::Base)},
    };
    for (const auto& t : texts) {
      QVERIFY(dark ? Contrast(t.colour, t.background) >= 4.5 : t.colour == t.designed);
      QCOMPARE(t.colour.hslHue() / 20, t.designed.hslHue() / 20);
    }
    SaveShot(frame->grab().toImage(), QStringLiteral("main-window-") + (dark ? "dark-" : "light-") + language);
    SaveShot(preview.grab().toImage(), QStringLiteral("import-preview-") + (dark ? "dark-" : "light-") + language);
    // The headers are drawn in that colour: glyphs' inner pixels are near it.
    const QImage image = grid->grab().toImage();
    const QColor want = grid->ShownForeColorFixed();
    int near = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) near += Contrast(image.pixelColor(x, y), want) < 1.1;
    QVERIFY(near > 20);
  }

  // Every control of the main window (with each column's editor open in
  // turn), its menus and every dialog; and names as the user sees them.
  void everyControlHasAName_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("optionLabel");
    QTest::addColumn<QString>("editorName");
    QTest::newRow("English") << "English" << "Time Out Time" << "QT/DQT Dec, channel 3";
    QTest::newRow("Chinese") << "Chinese" << QString::fromUtf8("超时定时器") << QString::fromUtf8("QT/DQT解码，信道 3");
  }
  void everyControlHasAName() {
    QFETCH(QString, language);
    QFETCH(QString, optionLabel);
    QFETCH(QString, editorName);
    Start(language);
    frame->setObjectName(QStringLiteral("mainWindow"));
    CChansetView* view = frame->ActiveView();
    QStringList unnamed = Unnamed(frame);
    for (int col = 1; col <= 8; ++col) {
      view->Grid()->SetRow(3);
      view->Grid()->SetCol(col);
      QTRY_VERIFY(view->EditorOfColumn(col)->isVisible());
      unnamed << Unnamed(frame);
      if (col == 3) QCOMPARE(SpokenName(view->EditorOfColumn(col)), editorName);
    }
    QStringList badItems = BadItemNames(frame->menuBar());
    for (QMenu* menu : frame->findChildren<QMenu*>()) badItems << BadItemNames(menu);
    QVERIFY2(badItems.isEmpty(), qPrintable(badItems.join(QLatin1Char('|'))));

    QString timeOut;  // Optional Features' first list, named by its label
    for (int command : {ids::kOptionalFeatures, ids::kProductInfo, ids::kPowerAdjustment, ids::kComSetup,
                        ids::kLanguage, ids::kAppAbout}) {
      OnNextModal([&](QDialog* dlg) {
        unnamed << Unnamed(dlg);
        if (auto* list = dlg->findChild<QComboBox*>(QStringLiteral("control1118"))) timeOut = SpokenName(list);
      });
      frame->OnCommand(command);
    }
    QCOMPARE(timeOut, optionLabel);
    CMessageBox::SetResponder({});
    OnNextModal([&](QDialog* box) { unnamed << Unnamed(box); });
    CMessageBox::Show(frame, QStringLiteral("?"), CMessageBox::OkCancel);
    // The progress window, the compare window and the import preview.
    frame->OnCommand(ids::kRead);
    CProcessDlg* process = CTransferController::For(view)->ProcessDlg();
    unnamed << Unnamed(process);
    QVERIFY(!process->ProgressBar()->accessibleName().isEmpty());
    process->reject();
    CCompareDlg compare(frame);
    compare.ShowDifferences({QStringLiteral("CH 1 Rx Frequency: 446.00625 -> 446.01250")});
    unnamed << Unnamed(&compare);
    CImportPreviewDlg preview(frame, QStringLiteral("a.csv"), ChirpCsvRows(20, "446.006250"), {});
    preview.show();
    unnamed << Unnamed(&preview);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('|'))));
  }
  // Qt's standard buttons and dialogs speak the pack's language.
  void qtDialogsSpeakTheLanguage_data() { AddLanguageRows(); }
  void qtDialogsSpeakTheLanguage() {
    QFETCH(QString, language);
    Start(language);
    const bool zh = Chinese(language);
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QVERIFY(box.button(QDialogButtonBox::Cancel)->text().contains(zh ? QStringLiteral("取消") : QStringLiteral("Cancel")));

    // The file dialog of File → Open.
    {
      ModalHandler dialogs([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QTest::qWait(100);
        QStringList labels;
        for (QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
        QVERIFY2(labels.contains(zh ? QStringLiteral("查找范围：") : QStringLiteral("Look in:")),
                 qPrintable(labels.join(QLatin1Char('|'))));
        SaveShot(dialog->grab().toImage(), QStringLiteral("file-dialog-") + language);
        QTest::keyClick(dialog, Qt::Key_Escape);
      });
      CFileDialog::SetResponder({});
      frame->OnCommand(ids::kFileOpen);
      QCOMPARE(dialogs.shown, 1);
    }

    // Print Preview and Print Setup.
    ModalHandler printing([&](QWidget* modal) {
      QTest::qWait(100);
      QStringList texts;
      for (QAction* action : modal->findChildren<QAction*>()) texts << action->text();
      for (QLabel* label : modal->findChildren<QLabel*>()) texts << label->text();
      if (qobject_cast<QPrintPreviewDialog*>(modal)) {
        QVERIFY2(texts.contains(zh ? QStringLiteral("下一页") : QStringLiteral("Next page")),
                 qPrintable(texts.join(QLatin1Char('|'))));
        SaveShot(modal->grab().toImage(), QStringLiteral("print-preview-") + language);
      } else {
        QVERIFY2(texts.contains(zh ? QStringLiteral("纸张大小：") : QStringLiteral("Page size:")),
                 qPrintable(texts.join(QLatin1Char('|'))));
        SaveShot(modal->grab().toImage(), QStringLiteral("page-setup-") + language);
      }
      QTest::keyClick(modal, Qt::Key_Escape);
    });
    frame->OnCommand(ids::kFilePrintPreview);
    frame->OnCommand(ids::kFilePrintSetup);
    QCOMPARE(printing.shown, 2);
  }

  // A pack in a third language names its locale the same way: Qt's own
  // texts follow without a change to the program.
  void qtTranslationsByLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Chinese") << "zh_CN" << true << QString::fromUtf8("取消");
    QTest::newRow("German") << "de" << true << "Abbrechen";
    QTest::newRow("none named") << "" << false << "Cancel";
    QTest::newRow("no translation") << "xx_YY" << false << "Cancel";
  }
  void qtTranslationsByLocale() {
    QFETCH(QString, locale);
    QFETCH(bool, installed);
    QFETCH(QString, cancel);
    QCOMPARE(CQtTranslations::Install(locale), installed);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    CQtTranslations::Remove();
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  }
};

QTEST_MAIN(MainWindowEventsTest)
#include "main_window_events_test.moc"
