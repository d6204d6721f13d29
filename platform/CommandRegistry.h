#pragma once
// The commands of the main window: one table from command id (the numbers
// of the language pack, platform/ResourceIds.h) to what the command does
// and when it may run. The main frame owns the table; the subsystems fill
// it through CCommandHost (platform/CCommandHost.h), which does not include the
// frame. Menus, toolbar buttons, accelerators and context menus are all
// built from the language pack and run their command through this table,
// so one registration serves every place a command appears.
//
// A command may run when
//   - it is registered,
//   - it is not locked (the frame locks the transfer-sensitive commands
//     while a radio transfer runs),
//   - what it needs exists: nothing, a document window, or the channel view
//     of the active document window,
//   - and its own "enabled" predicate, if it has one, says yes.
// A command is checkable when it has a "checked" predicate; its menu items
// then show a check mark exactly while the predicate holds.
//
// How to add a command
// --------------------
// 1. Id: take the next free number of the added-commands range in
//    platform/ResourceIds.h and name it there (ids::kEditUndo = ...).
// 2. Texts, in EVERY pack under resources/lang/<Language>/:
//    - menus.json: the menu item {"text": "&Undo\tCtrl+Z", "id": N} in
//      menu 129 (and in menu 128 when it works without a document);
//    - strings.json: the prompt "status-bar text\ntooltip" under "N";
//    - accelerators.json: ["Ctrl+Z", N] for a shortcut key;
//    - toolbars.json: N in "buttons" (and its image in the strip) for a
//      toolbar button.
// 3. Registration, where the subsystem installs itself (it gets a
//    CCommandHost*; CCommandHost::Of(widget) finds it from any widget of
//    the main window):
//      host->AddCommand(ids::kEditUndo,
//                       chanset::Command([stack] { stack->Undo(); })
//                           .Enabled([stack] { return stack->CanUndo(); }));
//      host->AddViewCommand(ids::kEditCopy, [](CChansetView* view) { ... });
//      host->AddCommand(ids::kVerifyAfterWrite,
//                       chanset::Command([] { g_verify = !g_verify; })
//                           .Checked([] { return g_verify; }));
//    A view command runs only while a channel view exists and gets it as
//    its argument. Commands that must wait for a running transfer are
//    listed by the frame's lock rule.
// 4. Text at run time: host->Commands().SetText(ids::kEditUndo,
//    "&Undo Rx Frequency") renames the command's menu items (the pack's
//    shortcut after the tab stays); SetText(id, "") brings the pack's text
//    back.
// 5. Context menu: host->CreateContextMenu({ids::kEditCut, ids::kEditCopy,
//    0, ids::kEditDelete}, parent) builds a popup of those commands with
//    their menu texts (0 is a separator); its items follow the same rules.
// 6. Tests: the registry's rules are covered by command_registry_test; a
//    new command's behaviour gets its own test, run through
//    host->OnCommand(id) or a real key or menu event.
#include <functional>
#include <map>
#include <string>

namespace chanset {

// What a command needs before it can run.
enum class CommandNeeds { Nothing, Document, View };

struct Command {
  Command() = default;
  explicit Command(std::function<void()> handler) : run(std::move(handler)) {}

  // Chainable setters for the optional parts.
  Command& Enabled(std::function<bool()> predicate) {
    enabled = std::move(predicate);
    return *this;
  }
  Command& Checked(std::function<bool()> predicate) {
    checked = std::move(predicate);
    return *this;
  }
  Command& Needs(CommandNeeds what) {
    needs = what;
    return *this;
  }

  std::function<void()> run;
  std::function<bool()> enabled;  // empty: enabled whenever the rules allow
  std::function<bool()> checked;  // empty: not checkable
  CommandNeeds needs = CommandNeeds::Nothing;
};

class CommandRegistry {
 public:
  // Registers or replaces command `id`. A command without a handler is
  // removed instead, and then shows disabled.
  void Add(int id, Command command);
  void Remove(int id);
  bool Has(int id) const { return m_commands.count(id) != 0; }

  bool IsEnabled(int id) const;
  bool IsCheckable(int id) const;
  bool IsChecked(int id) const;
  // Runs the command when it is enabled; false when it did not run.
  bool Run(int id);

  // The text the command's menu items show instead of the pack's; empty
  // when the pack's text applies.
  void SetText(int id, const std::string& text);
  std::string Text(int id) const;

  // The frame's answers to the rules: whether what a command needs exists,
  // and whether a command is locked just now. Unset: everything exists,
  // nothing is locked.
  void SetAvailability(std::function<bool(CommandNeeds)> available) { m_available = std::move(available); }
  void SetLock(std::function<bool(int id)> locked) { m_locked = std::move(locked); }
  // Told the id of every command that was added, removed or renamed.
  void SetObserver(std::function<void(int id)> observer) { m_observer = std::move(observer); }

 private:
  void Changed(int id) const;

  std::map<int, Command> m_commands;
  std::map<int, std::string> m_texts;
  std::function<bool(CommandNeeds)> m_available;
  std::function<bool(int)> m_locked;
  std::function<void(int)> m_observer;
};

}  // namespace chanset
