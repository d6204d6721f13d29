#pragma once
// What a subsystem sees of the main window: its command table, the window
// to parent dialogs to, the active document and channel view, and context
// menus built from command ids. The main frame implements it; dialogs,
// printing, the language switch and the editor use this header, never the
// frame's own. How to add a command: platform/CommandRegistry.h.
#include <QList>
#include <functional>
#include <vector>

#include "platform/CommandRegistry.h"

class CChansetDoc;
class CChansetView;
class QMenu;
class QObject;
class QWidget;

class CCommandHost {
 public:
  virtual ~CCommandHost() = default;

  virtual chanset::CommandRegistry& Commands() = 0;
  // The main window: parent of the subsystems' dialogs and objects.
  virtual QWidget* HostWindow() = 0;
  // The document of the active document window (also one its close box
  // hid) and its channel view; nullptr while there is none.
  virtual CChansetDoc* ActiveDocument() const = 0;
  virtual CChansetView* ActiveView() const = 0;
  // A popup menu owned by `parent` holding the commands `ids` in order (0
  // for a separator), with their menu texts and prompts. Its items run,
  // enable and check like the main menu's.
  virtual QMenu* CreateContextMenu(const QList<int>& ids, QWidget* parent) = 0;
  // Refreshes the enabled and checked state of every item and button.
  virtual void UpdateCommandUI() = 0;
  // `hook` runs at the start of every UpdateCommandUI, before the states
  // are read: a subsystem brings its run-time command texts up to date
  // there (Undo names the step of the active document).
  void AddUpdateHook(std::function<void()> hook) { m_updateHooks.push_back(std::move(hook)); }

  // Registration. A command without a handler is removed.
  void AddCommand(int id, chanset::Command command);
  // A command that acts on the active channel view; it is disabled while
  // there is none. `options` may add an enabled or checked predicate.
  void AddViewCommand(int id, std::function<void(CChansetView*)> handler, chanset::Command options = {});

  // Runs command `id` as its menu item would (nothing when it is disabled).
  void OnCommand(int id);
  bool IsCommandEnabled(int id) { return Commands().IsEnabled(id); }
  bool IsCommandChecked(int id) { return Commands().IsChecked(id); }

  // The host of the window that `object` belongs to (its own or an
  // ancestor's); nullptr outside a main window.
  static CCommandHost* Of(QObject* object);

 protected:
  // Runs the update hooks; a hook that renames a command (which updates
  // the interface again) does not run them a second time.
  void RunUpdateHooks();
  bool RunningUpdateHooks() const { return m_bRunningHooks; }

 private:
  std::vector<std::function<void()>> m_updateHooks;
  bool m_bRunningHooks = false;
};
