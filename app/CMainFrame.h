#pragma once
// The main window: menu bar (menu 128 while no document window exists,
// menu 129 while one does), toolbar, status bar, the navigation bar with
// its tree on the left, and the workspace holding the channel windows.
//
// Commands are numbered as in the language pack and run through the
// frame's command table (platform/CommandRegistry.h): a command without a
// handler is shown disabled. The frame registers its own commands; the
// application, the settings dialogs, printing and the language switch
// register theirs through CCommandHost, so none of them needs this header.
#include <QMainWindow>
#include <QPointer>

#include "platform/CCommandHost.h"
#include "app/CChildFrame.h"
#include "platform/CommandRegistry.h"
#include "app/TreeDispatch.h"

class CCommandActions;
class CChansetDoc;
class CChansetView;
class CChildFrame;
class CLockIndicators;
class CWorkspaceClient;
class CWriteLogDlg;
class QLabel;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class CNavigatorBar;

class CMainFrame : public QMainWindow, public CCommandHost {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Builds menus, toolbar, status bar, navigation bar and workspace from the
  // language pack. False when a resource is missing.
  bool Create();

  // Document windows -----------------------------------------------------
  // Wraps `doc` in a new channel window, shows it, runs the view's first
  // update and makes it the active document window.
  CChildFrame* CreateDocumentWindow(CChansetDoc* doc);
  void DestroyDocumentWindow(CChildFrame* frame);
  // The document window last activated, also when its close box hid it.
  CChildFrame* ActiveChildFrame() const { return m_pActiveChild; }
  CChansetDoc* ActiveDocument() const override;
  CChansetView* ActiveView() const override;
  QList<CChildFrame*> ChildFrames() const;

  // Commands (CCommandHost) ---------------------------------------------------
  chanset::CommandRegistry& Commands() override { return m_commands; }
  QWidget* HostWindow() override { return this; }
  QMenu* CreateContextMenu(const QList<int>& ids, QWidget* parent) override;
  // Refreshes enabled and checked states of every menu item and button.
  void UpdateCommandUI() override;

  // Menus as shown (popup index as in the template).
  QMenu* DocMenuPopup(int index) const { return m_docMenu.value(index); }
  QMenu* MainMenuPopup(int index) const { return m_mainMenu.value(index); }
  bool ShowsDocumentMenu() const { return m_bDocMenuShown; }
  // Start-up: the About text of the document menu, the Language command.
  void SetDocMenuItemText(int popup, int item, const QString& text);
  bool RemoveDocMenuCommand(int popup, int id);

  // Saves `doc` (asking for a name when it has none or `saveAs` is set).
  // True when the file was written.
  bool SaveDocument(CChansetDoc* doc, bool saveAs);
  // Closes the window without asking anything: the program is ending on a
  // signal and has kept the unsaved documents itself (app/CSignalClose.h).
  void CloseWithoutAsking();

  QTreeWidget* Tree() const { return m_pTree; }
  CNavigatorBar* NavigatorBar() const { return m_pNavigatorBar; }
  CWorkspaceClient* Workspace() const { return m_pWorkspace; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  CLockIndicators* LockIndicators() const { return m_pLockIndicators; }
  // Help -> Write Log's window; nullptr before it was first shown.
  CWriteLogDlg* WriteLogDlg() const;

  // The title: the resource title until the view sets its type and band
  // title. Nothing else changes it; a maximised channel window does not add
  // its own.
  void SetFrameTitle(const QString& title);

  // Runs the tree's selection rule: the item under the pointer decides.
  void OnTreeSelectionChanged();

  // Next Pane (F6) and Previous Pane (Shift+F6): the keyboard goes round
  // the tree and the channel windows in view, each time to the next one.
  void MovePane(int step);

 signals:
  // A tree selection ran an action (TreeAction as int); for observers and tests.
  void treeActionRun(int action);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Enter and Space in the tree run the item that is selected; a dialog
  // that hides gives the keyboard back (OnDialogHidden).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RegisterFrameCommands();
  void ShowMenu(bool documentMenu);
  void RunTreeAction(chanset::TreeAction action);
  void ShowRootSelected();
  void OnChildActivated(class QMdiSubWindow* window);
  void ShowHelpFor(int topic);
  // A channel window is hiding: the keyboard, if it was there, goes to the
  // next channel window in view, else to the tree.
  void OnChildHiding(CChildFrame* child);
  // The keyboard into a channel window's current cell, scrolled into view.
  void FocusChild(CChildFrame* child);
  void OnFocusChanged(QWidget* old, QWidget* now);
  // A dialog closed and no window has the keyboard: the window it belonged
  // to takes it back, with the cell that had it (where no window manager
  // does).
  void OnDialogHidden(QWidget* dialog);

  // Handlers of the commands that belong to the frame and the application.
  void OnFileClose();
  void OnChannelInformation();
  void OnControlBar();

  chanset::CommandRegistry m_commands;
  CCommandActions* m_pActions = nullptr;
  CWorkspaceClient* m_pWorkspace = nullptr;
  CNavigatorBar* m_pNavigatorBar = nullptr;
  QTreeWidget* m_pTree = nullptr;
  QTreeWidgetItem* m_pRoot = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QLabel* m_pIdleLabel = nullptr;
  CLockIndicators* m_pLockIndicators = nullptr;
  QString m_strFrameTitle;
  QVector<QMenu*> m_mainMenu, m_docMenu;
  bool m_bDocMenuShown = false;
  bool m_bCloseWithoutAsking = false;
  QPointer<CChildFrame> m_pActiveChild;
  QPointer<CWriteLogDlg> m_pWriteLogDlg;
};
