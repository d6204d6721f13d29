#include "app/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

#include "app/CCommandActions.h"
#include "app/CChildFrame.h"
#include "app/CFrameStyle.h"
#include "app/CLockIndicators.h"
#include "app/CMenuItemAccessible.h"
#include "app/CNavigatorBar.h"
#include "app/CWorkspaceClient.h"
#include "data/CChansetDoc.h"
#include "editor/CChannelEditing.h"
#include "editor/CChansetView.h"
#include "link/CTransferController.h"
#include "link/CWriteLogDlg.h"
#include "platform/CFileDialog.h"
#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using chanset::TreeAction;

namespace {
// Help numbers: a menu command asks for its own id, a window for 0x10000
// plus its resource id.
constexpr int kWindowHelpBase = 0x10000;
constexpr int kMainFrameHelp = kWindowHelpBase + 128;
constexpr int kDocumentFrameHelp = kWindowHelpBase + 129;
}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  SetFrameTitle(QStringLiteral("Chanset"));
  resize(900, 550);
  m_pActions = new CCommandActions(m_commands, this);
  m_commands.SetAvailability([this](chanset::CommandNeeds needs) {
    switch (needs) {
      case chanset::CommandNeeds::Document: return m_pActiveChild != nullptr;
      case chanset::CommandNeeds::View: return ActiveView() != nullptr;
      case chanset::CommandNeeds::Nothing: break;
    }
    return true;
  });
  // While a transfer runs, the commands it locks are disabled.
  m_commands.SetLock([](int id) {
    return CTransferMonitor::Instance()->IsRunning() && CTransferController::IsLockedDuringTransfer(id);
  });
  m_commands.SetObserver([this](int id) {
    m_pActions->UpdateText(id);
    // A hook renaming a command is followed by the update that ran it.
    if (!RunningUpdateHooks()) UpdateCommandUI();
  });
}

CMainFrame::~CMainFrame() {
  // The application outlives the frame: its focus signal and event filter
  // must not reach a frame whose own part is already destroyed.
  disconnect(qApp, nullptr, this, nullptr);
  qApp->removeEventFilter(this);
  // The actions stop asking the command table before it goes.
  m_commands.SetObserver({});
  delete m_pActions;
  m_pActions = nullptr;
  // A sub-window being destroyed still makes the workspace report an
  // activation; this half-destroyed frame must not act on it.
  if (m_pWorkspace) m_pWorkspace->disconnect(this);
  m_pActiveChild = nullptr;
  // Channel windows go before the workspace's own clean-up, so that each
  // view still finds its document while it is destroyed.
  for (CChildFrame* child : ChildFrames()) {
    child->disconnect(this);
    delete child;
  }
}

bool CMainFrame::Create() {
  QString title = CLanguagePack::String(128);
  if (!title.isEmpty()) SetFrameTitle(title);
  setWindowIcon(CLanguagePack::Icon(ids::kMainIcon));

  // Workspace.
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  m_pWorkspace = new CWorkspaceClient(central);
  row->addWidget(m_pWorkspace, 1);
  setCentralWidget(central);
  connect(m_pWorkspace, &QMdiArea::subWindowActivated, this, &CMainFrame::OnChildActivated);

  // Menus.
  m_mainMenu = m_pActions->BuildMenu(ids::kMainMenu);
  m_docMenu = m_pActions->BuildMenu(ids::kDocMenu);
  if (m_mainMenu.isEmpty() || m_docMenu.isEmpty()) return false;
  ShowMenu(false);

  // Toolbar.
  ToolbarTemplate tb = CLanguagePack::Toolbar(ids::kToolbar);
  if (tb.isNull()) return false;
  m_pToolBar = new QToolBar(this);
  m_pToolBar->setObjectName(QStringLiteral("toolbar"));
  // Named like its View menu item, so that the main window's context menu
  // offers it by that name.
  const QString toolbarItem = m_pActions->PackMenuText(ids::kViewToolbar);
  m_pToolBar->setWindowTitle(CCommandActions::ItemText(toolbarItem, true));
  m_pToolBar->toggleViewAction()->setText(CCommandActions::ItemText(toolbarItem, false));
  m_pToolBar->setStyle(new CFrameStyle(m_pToolBar));
  m_pToolBar->setIconSize(tb.buttonSize);
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_pToolBar->setFloatable(true);
  int image = 0;
  for (int id : tb.buttons) {
    if (id == 0) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* action = m_pActions->Make(id, m_pToolBar);
    action->setText(CLanguagePack::TooltipPrompt(id));
    action->setIcon(QIcon(tb.ButtonImage(image++)));
    action->setToolTip(CLanguagePack::TooltipPrompt(id));
    m_pToolBar->addAction(action);
  }
  addToolBar(Qt::TopToolBarArea, m_pToolBar);

  // Status bar: the message pane, then the key-state indicators.
  QStatusBar* status = statusBar();
  m_pIdleLabel = new QLabel(CLanguagePack::String(ids::kIdleMessage), status);
  status->addWidget(m_pIdleLabel, 1);
  m_pLockIndicators = new CLockIndicators(status);

  // Accelerators: window-wide shortcuts that run the same commands.
  for (const Accelerator& acc : CLanguagePack::Accelerators(ids::kAccelerators)) {
    QAction* action = m_pActions->Make(acc.id, this);
    action->setShortcut(acc.key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  auto* help = new QAction(this);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help, &QAction::triggered, this, [this] { ShowHelpFor(m_pActiveChild ? kDocumentFrameHelp : kMainFrameHelp); });
  addAction(help);

  // Navigation bar at the left edge, the workspace beside it; the tree's
  // root is the company text, with three children.
  QString company = QString::fromStdString(
      chanset::g_settingsFile().GetValue(chanset::g_strLanguage, "Company", ""));
  m_pNavigatorBar = new CNavigatorBar(this, centralWidget());
  if (!m_pNavigatorBar->Create(company)) return false;
  static_cast<QHBoxLayout*>(centralWidget()->layout())->insertWidget(0, m_pNavigatorBar);
  connect(m_pNavigatorBar, &CNavigatorBar::closedByButton, this, &CMainFrame::UpdateCommandUI);
  m_pTree = m_pNavigatorBar->Tree();
  m_pTree->setStyle(new CFrameStyle(m_pTree));
  m_pRoot = new QTreeWidgetItem(m_pTree, QStringList(company));
  for (const char* text : chanset::TreeChildTexts(chanset::g_bChinese))
    new QTreeWidgetItem(m_pRoot, QStringList(QString::fromUtf8(text)));
  m_pRoot->setExpanded(true);
  m_pTree->setCurrentItem(m_pRoot);
  connect(m_pTree, &QTreeWidget::currentItemChanged, this, [this] { OnTreeSelectionChanged(); });
  // Named like its View menu item, as the toolbar is.
  m_pTree->setAccessibleName(CCommandActions::ItemText(m_pActions->PackMenuText(ids::kControlBar), true));
  // Menu items are read out without the shortcut written into their text.
  CMenuItemAccessible::Install();
  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
  qApp->installEventFilter(this);

  RegisterFrameCommands();
  connect(CTransferMonitor::Instance(), &CTransferMonitor::runningChanged, this, &CMainFrame::UpdateCommandUI);
  UpdateCommandUI();
  return true;
}

// The commands this frame handles itself. The application registers File
// New, Open and About; the settings dialogs, printing and Language register
// through InstallSettingsDialogs, InstallPrintCommands and
// RegisterLanguageCommand.
void CMainFrame::RegisterFrameCommands() {
  using chanset::Command;
  using chanset::CommandNeeds;
  AddCommand(ids::kFileClose, Command([this] { OnFileClose(); }).Needs(CommandNeeds::Document));
  AddCommand(ids::kFileSave,
             Command([this] { SaveDocument(ActiveDocument(), false); }).Needs(CommandNeeds::Document));
  AddCommand(ids::kFileSaveAs,
             Command([this] { SaveDocument(ActiveDocument(), true); }).Needs(CommandNeeds::Document));
  AddCommand(ids::kAppExit, Command([this] { close(); }));
  AddCommand(ids::kViewToolbar, Command([this] { m_pToolBar->setVisible(m_pToolBar->isHidden()); })
                                    .Checked([this] { return !m_pToolBar->isHidden(); }));
  AddCommand(ids::kViewStatusBar, Command([this] { statusBar()->setVisible(statusBar()->isHidden()); })
                                      .Checked([this] { return !statusBar()->isHidden(); }));
  AddCommand(ids::kControlBar,
             Command([this] { OnControlBar(); }).Checked([this] { return !m_pNavigatorBar->isHidden(); }));
  AddCommand(ids::kChannelInfo, Command([this] { OnChannelInformation(); }));
  AddCommand(ids::kNextPane, Command([this] { MovePane(1); }));
  AddCommand(ids::kPrevPane, Command([this] { MovePane(-1); }));
  // The radio link's commands run on the active view's transfer controller.
  AddViewCommand(ids::kRead, [](CChansetView* view) { CTransferController::For(view)->OnRead(); });
  AddViewCommand(ids::kWrite, [](CChansetView* view) { CTransferController::For(view)->OnWrite(); });
  AddViewCommand(ids::kComSetup, [](CChansetView* view) { CTransferController::For(view)->OnComSetup(); });
  AddViewCommand(ids::kCompareWithRadio, [](CChansetView* view) { CTransferController::For(view)->OnCompare(); });
  AddViewCommand(ids::kWriteSeveralRadios,
                 [](CChansetView* view) { CTransferController::For(view)->OnWriteSeveral(); });
  AddCommand(ids::kWriteLog, Command([this] {
               if (!m_pWriteLogDlg) m_pWriteLogDlg = new CWriteLogDlg(this);
               m_pWriteLogDlg->ShowLog();
             }));
  AddCommand(ids::kVerifyAfterWrite,
             Command([] { CTransferController::SetVerifyAfterWrite(!CTransferController::VerifyAfterWrite()); })
                 .Checked([] { return CTransferController::VerifyAfterWrite(); }));
}

CWriteLogDlg* CMainFrame::WriteLogDlg() const { return m_pWriteLogDlg; }

// Menus ----------------------------------------------------------------------

void CMainFrame::ShowMenu(bool documentMenu) {
  m_bDocMenuShown = documentMenu;
  QMenuBar* bar = menuBar();
  bar->clear();
  for (QMenu* menu : documentMenu ? m_docMenu : m_mainMenu) bar->addMenu(menu);
}

void CMainFrame::SetDocMenuItemText(int popup, int item, const QString& text) {
  QMenu* menu = m_docMenu.value(popup);
  if (!menu) return;
  QList<QAction*> actions = menu->actions();
  if (item >= 0 && item < actions.size()) m_pActions->SetMenuText(actions[item], text);
}

bool CMainFrame::RemoveDocMenuCommand(int popup, int id) {
  QMenu* menu = m_docMenu.value(popup);
  if (!menu) return false;
  for (QAction* action : menu->actions()) {
    if (CCommandActions::CommandOf(action) == id) {
      menu->removeAction(action);
      delete action;
      return true;
    }
  }
  return false;
}

// Commands -------------------------------------------------------------------

QMenu* CMainFrame::CreateContextMenu(const QList<int>& ids, QWidget* parent) {
  return m_pActions->BuildContextMenu(ids, parent);
}

void CMainFrame::UpdateCommandUI() {
  RunUpdateHooks();
  if (m_pActions) m_pActions->Update();
}

// Document windows -------------------------------------------------------------

CChildFrame* CMainFrame::CreateDocumentWindow(CChansetDoc* doc) {
  auto* child = new CChildFrame(doc);
  m_pWorkspace->addSubWindow(child);
  CChansetView* view = child->GetView();
  CTransferController::For(view);  // takes the remembered port
  CChannelEditing::For(view);      // row selection, clipboard, moves, undo
  connect(view, &CChansetView::titleChanged, this, &CMainFrame::SetFrameTitle);
  connect(child, &CChildFrame::hiding, this, [this, child] { OnChildHiding(child); });
  connect(child, &QObject::destroyed, this, [this] {
    if (ChildFrames().isEmpty()) ShowMenu(false);
    UpdateCommandUI();
  });
  m_pActiveChild = child;
  ShowMenu(true);
  child->show();
  view->OnInitialUpdate();  // also shrinks the window to the form
  FocusChild(child);
  UpdateCommandUI();
  return child;
}

void CMainFrame::FocusChild(CChildFrame* child) {
  m_pWorkspace->setActiveSubWindow(child);
  CChansetView* view = child->GetView();
  view->FocusCurrentCell();
  // The window from its top-left corner as far as it fits, then its cell.
  m_pWorkspace->EnsureVisible(child, child->rect());
  m_pWorkspace->EnsureVisible(view, view->CurrentCellRect());
}

void CMainFrame::OnChildHiding(CChildFrame* child) {
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != child && !child->isAncestorOf(focus)) return;
  const QList<QMdiSubWindow*> recent = m_pWorkspace->subWindowList(QMdiArea::ActivationHistoryOrder);
  for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
    auto* other = qobject_cast<CChildFrame*>(*it);
    if (other && other != child && other->isVisible()) {
      FocusChild(other);
      return;
    }
  }
  if (m_pTree && m_pTree->isVisible())
    m_pTree->setFocus(Qt::OtherFocusReason);
  else
    m_pWorkspace->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
  // The keyboard's cell is always in view: the workspace scrolls to it.
  for (QWidget* w = now; w && w != this; w = w->parentWidget()) {
    if (auto* child = qobject_cast<CChildFrame*>(w)) {
      CChansetView* view = child->GetView();
      if (view && child->isVisible()) m_pWorkspace->EnsureVisible(view, view->CurrentCellRect());
      return;
    }
  }
}

void CMainFrame::OnDialogHidden(QWidget* dialog) {
  // Later, so that a window manager that does this itself goes first.
  QPointer<QWidget> owner = dialog->parentWidget() ? dialog->parentWidget()->window() : this;
  QTimer::singleShot(0, this, [this, owner] {
    const QWindow* focus = QGuiApplication::focusWindow();
    if ((focus && focus->isVisible()) || !isVisible()) return;
    if (owner && owner->isVisible())
      owner->activateWindow();
    else
      activateWindow();
  });
}

void CMainFrame::MovePane(int step) {
  QList<QWidget*> panes;
  if (m_pTree && m_pTree->isVisible()) panes << m_pTree;
  for (CChildFrame* child : ChildFrames())
    if (child->isVisible()) panes << child;
  if (panes.isEmpty()) return;
  QWidget* focus = QApplication::focusWidget();
  int current = -1;
  for (int i = 0; i < panes.size(); ++i)
    if (focus && (panes[i] == focus || panes[i]->isAncestorOf(focus))) current = i;
  const int n = static_cast<int>(panes.size());
  const int next = current < 0 ? (step > 0 ? 0 : n - 1) : ((current + step) % n + n) % n;
  if (auto* child = qobject_cast<CChildFrame*>(panes[next]))
    FocusChild(child);
  else
    panes[next]->setFocus(Qt::OtherFocusReason);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget != this && (widget->windowType() == Qt::Dialog || widget->windowType() == Qt::Sheet))
      OnDialogHidden(widget);
  }
  if (watched == m_pTree && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
      QTreeWidgetItem* item = m_pTree->currentItem();
      RunTreeAction(chanset::TreeDispatch(item ? item->text(0).toStdString() : std::string(), chanset::g_bChinese));
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::DestroyDocumentWindow(CChildFrame* frame) {
  if (!frame) return;
  m_pWorkspace->removeSubWindow(frame);
  if (m_pActiveChild == frame) m_pActiveChild = nullptr;
  delete frame;
  // The most recent remaining window (hidden or not) becomes the active one.
  QList<CChildFrame*> rest = ChildFrames();
  if (!rest.isEmpty() && !m_pActiveChild) m_pActiveChild = rest.last();
  ShowMenu(!rest.isEmpty());
  UpdateCommandUI();
}

QList<CChildFrame*> CMainFrame::ChildFrames() const {
  QList<CChildFrame*> frames;
  if (!m_pWorkspace) return frames;
  for (QMdiSubWindow* w : m_pWorkspace->subWindowList(QMdiArea::CreationOrder))
    if (auto* child = qobject_cast<CChildFrame*>(w)) frames << child;
  return frames;
}

CChansetDoc* CMainFrame::ActiveDocument() const {
  return m_pActiveChild ? m_pActiveChild->GetDocument() : nullptr;
}

CChansetView* CMainFrame::ActiveView() const { return m_pActiveChild ? m_pActiveChild->GetView() : nullptr; }

void CMainFrame::OnChildActivated(QMdiSubWindow* window) {
  // Hiding a window deactivates it in the workspace; it stays the active
  // document window here until another one is activated.
  if (auto* child = qobject_cast<CChildFrame*>(window)) m_pActiveChild = child;
  UpdateCommandUI();
}

void CMainFrame::OnFileClose() {
  if (m_pActiveChild) m_pActiveChild->close();
}

void CMainFrame::OnChannelInformation() {
  if (CChildFrame* child = m_pActiveChild) {
    child->showNormal();
    child->show();
    child->raise();
    FocusChild(child);
  } else {
    // Back to the normal size (900 x 550 unless the user changed it); set
    // it again for window systems that do not restore it themselves.
    QRect normal = normalGeometry();
    showNormal();
    if (normal.isValid()) setGeometry(normal);
  }
}

void CMainFrame::OnControlBar() {
  m_pNavigatorBar->setVisible(m_pNavigatorBar->isHidden());
}

bool CMainFrame::SaveDocument(CChansetDoc* doc, bool saveAs) {
  if (!doc) return false;
  QString path = doc->GetPathName();
  if (saveAs || path.isEmpty()) {
    // Offer the file's own name, else the AppName preset, in the current
    // folder; only the name the user confirms is written.
    QString suggested = path;
    if (suggested.isEmpty()) {
      QString name = doc->SuggestedFileName();
      if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".dat");
      // With no name to offer, the current folder itself with an empty name
      // (its path without the slash would name the folder as the file).
      suggested = name.isEmpty() ? QDir::currentPath() + QLatin1Char('/') : QDir::current().filePath(name);
    }
    QString filter = CChansetDoc::FileFilter();
    path = CFileDialog::GetSaveFileName(this, CLanguagePack::String(ids::kSaveAsTitle), suggested, filter,
                                        QStringLiteral("dat"));
    if (path.isEmpty()) return false;
  }
  QString reason;
  chanset::DatError error = doc->OnSaveDocument(path, &reason);
  if (error != chanset::DatError::None) {
    CChansetDoc::ReportSaveLoadException(this, path, error, reason, true);
    return false;
  }
  return true;
}

void CMainFrame::CloseWithoutAsking() {
  m_bCloseWithoutAsking = true;
  close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_bCloseWithoutAsking) {
    event->accept();
    return;
  }
  // Like Exit, closing is refused while a transfer runs.
  if (CTransferMonitor::Instance()->IsRunning()) {
    event->ignore();
    return;
  }
  // A value still being typed counts as an edit: it is committed before the
  // documents are looked at, and a refused one stops the close.
  for (CChildFrame* child : ChildFrames()) {
    CChansetView* view = child->GetView();
    if (view && !view->CommitBeforeClosing()) {
      event->ignore();
      return;
    }
  }
  // Every modified document, hidden windows included, is offered for saving.
  for (CChildFrame* child : ChildFrames()) {
    CChansetDoc* doc = child->GetDocument();
    if (!doc || !doc->IsModified()) continue;
    QString text = CLanguagePack::String(ids::kAskToSave);
    if (text.isEmpty()) text = QStringLiteral("%1?");
    int answer = CMessageBox::Show(this, text.arg(doc->GetTitle()), CMessageBox::SaveDiscardCancel);
    if (answer == CMessageBox::IdCancel || (answer == CMessageBox::IdSave && !SaveDocument(doc, false))) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

void CMainFrame::SetFrameTitle(const QString& title) {
  m_strFrameTitle = title;
  setWindowTitle(title);
}

void CMainFrame::changeEvent(QEvent* event) {
  // The workspace names a maximised channel window in the main window's
  // title, and restores an old title when it is restored; the frame's own
  // title stays.
  if (event->type() == QEvent::WindowTitleChange && windowTitle() != m_strFrameTitle)
    setWindowTitle(m_strFrameTitle);
  QMainWindow::changeEvent(event);
}

// Navigation tree ---------------------------------------------------------------

void CMainFrame::OnTreeSelectionChanged() {
  QPoint pointer = m_pTree->viewport()->mapFromGlobal(QCursor::pos());
  QTreeWidgetItem* item = m_pTree->viewport()->rect().contains(pointer) ? m_pTree->itemAt(pointer) : nullptr;
  std::string text = item ? item->text(0).toStdString() : std::string();
  const TreeAction action = chanset::TreeDispatch(text, chanset::g_bChinese);
  RunTreeAction(action);
  // What the pointer ran is done (its dialog closed): the keyboard goes back
  // to the channel window's cell rather than staying in the tree.
  if (action != TreeAction::None && m_pActiveChild && m_pActiveChild->isVisible()) FocusChild(m_pActiveChild);
  // Re-selecting the root is itself a selection change when the root was
  // not selected, and runs this rule once more.
  m_pTree->setCurrentItem(m_pRoot);
  // A mouse press goes on to select the item it was pressed on after this
  // returns (also after a dialog that its action showed): select the root
  // once more when it is done, so that the root is what the tree shows.
  QMetaObject::invokeMethod(this, &CMainFrame::ShowRootSelected, Qt::QueuedConnection);
}

void CMainFrame::ShowRootSelected() {
  if (!m_pTree || !m_pRoot) return;
  if (m_pTree->currentItem() != m_pRoot) {
    m_pTree->setCurrentItem(m_pRoot);  // a selection change: the rule runs again
    return;
  }
  const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
  if (selected.size() == 1 && selected.first() == m_pRoot) return;
  m_pTree->clearSelection();
  m_pRoot->setSelected(true);
}

void CMainFrame::RunTreeAction(TreeAction action) {
  if (action == TreeAction::None) return;
  emit treeActionRun(static_cast<int>(action));
  switch (action) {
    case TreeAction::ChannelInformation: OnChannelInformation(); break;
    case TreeAction::OptionalFeatures: OnCommand(ids::kOptionalFeatures); break;
    case TreeAction::ProductInformation: OnCommand(ids::kProductInfo); break;
    case TreeAction::PowerAdjustment: OnCommand(ids::kPowerAdjustment); break;
    case TreeAction::None: break;
  }
  UpdateCommandUI();
}

// Help -------------------------------------------------------------------------------

void CMainFrame::ShowHelpFor(int topic) { CHelpService::ShowTopic(topic); }
