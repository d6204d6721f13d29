#pragma once
// The main window: menu bar (menu 128 while no document window exists,
// menu 129 while one does), toolbar, status bar, the navigation bar with
// its tree on the left, and the workspace holding the channel windows.
//
// Commands are numbered as in the language pack. A command runs its
// handler; a command without a handler is shown disabled. Commands whose
// dialogs live elsewhere are connected with SetCommandHandler (Optional
// Features, Product Information, Print Setup, About) or, for those the
// channel view owns (Read, Write, Com Setup, Language, Print, Print
// Preview), with SetViewCommandHandler, which runs on the active view.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

#include "app/CChildFrame.h"
#include "app/TreeDispatch.h"

class CChansetApp;
class CChansetDoc;
class CChansetView;
class CChildFrame;
class CWorkspaceClient;
class QLabel;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class CNavigatorBar;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(CChansetApp* app = nullptr, QWidget* parent = nullptr);
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
  CChansetDoc* ActiveDocument() const;
  CChansetView* ActiveView() const;
  QList<CChildFrame*> ChildFrames() const;

  // Commands ---------------------------------------------------------------
  void OnCommand(int id);
  void SetCommandHandler(int id, std::function<void()> handler);
  void SetViewCommandHandler(int id, std::function<void(CChansetView*)> handler);
  // The Power Adjustment dialog has no command; the tree runs it.
  void SetPowerAdjustmentHandler(std::function<void()> handler) { m_powerAdjustment = std::move(handler); }
  bool IsCommandEnabled(int id) const;
  bool IsCommandChecked(int id) const;
  // Refreshes enabled and checked states of every menu item and button.
  void UpdateCommandUI();

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

  QTreeWidget* Tree() const { return m_pTree; }
  CNavigatorBar* NavigatorBar() const { return m_pNavigatorBar; }
  CWorkspaceClient* Workspace() const { return m_pWorkspace; }
  QToolBar* ToolBar() const { return m_pToolBar; }

  // Runs the tree's selection rule: the item under the pointer decides.
  void OnTreeSelectionChanged();

 signals:
  // A tree selection ran an action (TreeAction as int); for observers and tests.
  void treeActionRun(int action);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* MakeAction(int id, const QString& text, QObject* parent);
  QVector<QMenu*> BuildMenu(int id);
  void ShowMenu(bool documentMenu);
  void RunTreeAction(chanset::TreeAction action);
  void OnChildActivated(class QMdiSubWindow* window);
  void ShowHelpFor(int topic);

  // Handlers of the commands that belong to the frame and the application.
  void OnFileClose();
  void OnChannelInformation();
  void OnControlBar();

  CChansetApp* m_pApp;
  CWorkspaceClient* m_pWorkspace = nullptr;
  CNavigatorBar* m_pNavigatorBar = nullptr;
  QTreeWidget* m_pTree = nullptr;
  QTreeWidgetItem* m_pRoot = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QLabel* m_pIdleLabel = nullptr;
  QVector<QMenu*> m_mainMenu, m_docMenu;
  bool m_bDocMenuShown = false;
  QMultiHash<int, QAction*> m_actions;
  QHash<int, std::function<void()>> m_handlers;
  QHash<int, std::function<void(CChansetView*)>> m_viewHandlers;
  std::function<void()> m_powerAdjustment;
  QPointer<CChildFrame> m_pActiveChild;
};
