#pragma once
// The Qt side of the command table: every menu item, toolbar button,
// accelerator and context-menu item is a QAction that carries its command
// id and runs the command through the registry. Enabled, checkable and
// checked states and run-time texts come from the registry; F1 on a
// highlighted menu item asks the help for the command's topic.
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

#include "platform/CommandRegistry.h"

class QAction;
class QMenu;
class QWidget;

class CCommandActions : public QObject {
  Q_OBJECT
 public:
  // `owner` parents the menus and receives nothing else.
  CCommandActions(chanset::CommandRegistry& commands, QWidget* owner);

  // An action for command `id`. `menuText` is the pack's menu text of a
  // menu item (a run-time text replaces it); buttons and accelerators pass
  // an empty one and keep their text.
  QAction* Make(int id, QObject* parent, const QString& menuText = QString());
  // The popups of pack menu `menuId` (empty when the pack has none).
  QVector<QMenu*> BuildMenu(int menuId);
  // A popup of the commands `ids` (0 = separator), owned by `parent`.
  QMenu* BuildContextMenu(const QList<int>& ids, QWidget* parent);

  // The command of an action made here; 0 for any other.
  static int CommandOf(const QAction* action);
  // The pack's text of command `id`'s first menu item; empty when no menu
  // built here has it.
  QString PackMenuText(int id) const { return m_packTexts.value(id); }
  // A menu text without the shortcut after its tab ("&Toolbar\tX" gives
  // "&Toolbar"), and, with `plain`, without its access key either
  // ("&Toolbar" gives "Toolbar", "工具栏(&T)" gives "工具栏").
  static QString ItemText(const QString& menuText, bool plain);
  // Gives a menu item another pack text (start-up's About text).
  void SetMenuText(QAction* action, const QString& menuText);

  // Enabled, checkable and checked state of every action from the registry.
  void Update();
  // The texts of command `id`'s menu items after the registry renamed it.
  void UpdateText(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QMenu* NewMenu(const QString& title, QWidget* parent);
  QString MenuText(int id, const QAction* action) const;
  void UpdateAction(int id, QAction* action);

  chanset::CommandRegistry& m_commands;
  QWidget* m_pOwner;
  QMultiHash<int, QAction*> m_actions;
  QHash<int, QString> m_packTexts;  // menu text of each command, for context menus
};
