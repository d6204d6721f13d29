#pragma once
// What screen readers get for an item of the program's menus and menu bar:
// its name without the access-key mark and without the shortcut written
// into its text ("&New\tCtrl+N", "&Read    Ctrl+R" and "文件(&F)" are read
// "New", "Read" and "文件"), the shortcut or access key as the item's key
// binding, and the item's state and press action as Qt's own menu items
// give them. The menus themselves draw the text exactly as before.
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;

class CMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  // `owner` is the QMenu or QMenuBar that shows `action`.
  CMenuItemAccessible(QWidget* owner, QAction* action);

  // Makes every item of a menu or menu bar use this interface (the
  // program's menus, context menus, a channel window's window menu). Once
  // per process is enough.
  static void Install();
  // The item's name and its shortcut, as read from a menu text.
  static QString Name(const QString& menuText);
  static QString Shortcut(const QString& menuText);

  bool isValid() const override;
  QObject* object() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  QRect Geometry() const;
  QAction* ActiveAction() const;

  QPointer<QWidget> m_pOwner;
  QPointer<QAction> m_pAction;
};
