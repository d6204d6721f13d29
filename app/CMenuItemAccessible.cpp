#include "app/CMenuItemAccessible.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QWindow>

#include "app/CCommandActions.h"

namespace {

// A shortcut written after the item's text: after a tab, or after a run of
// spaces ("&Read    Ctrl+R").
const QRegularExpression& ShortcutAfterText() {
  static const QRegularExpression kShortcut(QStringLiteral("(?:\\t| {2,})(\\S[^\\t]*)$"));
  return kShortcut;
}

// The menu or menu bar that shows `action`.
QWidget* OwnerOf(QAction* action) {
  for (QObject* o : action->associatedObjects())
    if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) return static_cast<QWidget*>(o);
  return nullptr;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className != QLatin1String("QAction")) return nullptr;
  auto* action = static_cast<QAction*>(object);
  QWidget* owner = OwnerOf(action);
  return owner ? new CMenuItemAccessible(owner, action) : nullptr;
}

}  // namespace

void CMenuItemAccessible::Install() { QAccessible::installFactory(Factory); }

QString CMenuItemAccessible::Name(const QString& menuText) {
  QString text = menuText;
  text.remove(ShortcutAfterText());
  return CCommandActions::ItemText(text, true);
}

QString CMenuItemAccessible::Shortcut(const QString& menuText) {
  const QRegularExpressionMatch m = ShortcutAfterText().match(menuText);
  return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

CMenuItemAccessible::CMenuItemAccessible(QWidget* owner, QAction* action) : m_pOwner(owner), m_pAction(action) {}

bool CMenuItemAccessible::isValid() const { return m_pOwner && m_pAction; }
QObject* CMenuItemAccessible::object() const { return m_pAction; }

QWindow* CMenuItemAccessible::window() const {
  return m_pOwner ? m_pOwner->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CMenuItemAccessible::parent() const { return QAccessible::queryAccessibleInterface(m_pOwner); }

// A menu of the menu bar has that menu as its one child.
QAccessibleInterface* CMenuItemAccessible::child(int index) const {
  return index == 0 && m_pAction && m_pAction->menu() ? QAccessible::queryAccessibleInterface(m_pAction->menu())
                                                       : nullptr;
}
int CMenuItemAccessible::childCount() const { return m_pAction && m_pAction->menu() ? 1 : 0; }
int CMenuItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
  return child && m_pAction && child->object() == m_pAction->menu() ? 0 : -1;
}
QAccessibleInterface* CMenuItemAccessible::childAt(int, int) const { return nullptr; }

QRect CMenuItemAccessible::Geometry() const {
  if (auto* menu = qobject_cast<QMenu*>(m_pOwner)) return menu->actionGeometry(m_pAction);
  if (auto* bar = qobject_cast<QMenuBar*>(m_pOwner)) return bar->actionGeometry(m_pAction);
  return QRect();
}

QAction* CMenuItemAccessible::ActiveAction() const {
  if (auto* menu = qobject_cast<QMenu*>(m_pOwner)) return menu->activeAction();
  if (auto* bar = qobject_cast<QMenuBar*>(m_pOwner)) return bar->activeAction();
  return nullptr;
}

QString CMenuItemAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return QString();
  switch (t) {
    case QAccessible::Name: return Name(m_pAction->text());
    case QAccessible::Accelerator: {
      const QString written = Shortcut(m_pAction->text());
      return written.isEmpty() ? QKeySequence::mnemonic(m_pAction->text()).toString(QKeySequence::NativeText)
                               : written;
    }
    case QAccessible::Description: return m_pAction->statusTip();
    default: return QString();
  }
}

QRect CMenuItemAccessible::rect() const {
  if (!isValid()) return QRect();
  const QRect r = Geometry();
  return QRect(m_pOwner->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role CMenuItemAccessible::role() const {
  return m_pAction && m_pAction->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
}

QAccessible::State CMenuItemAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.focusable = true;
  s.disabled = !m_pAction->isEnabled();
  s.invisible = !m_pAction->isVisible() || !m_pOwner->isVisible();
  s.focused = s.hotTracked = ActiveAction() == m_pAction;
  s.checkable = m_pAction->isCheckable();
  s.checked = m_pAction->isChecked();
  return s;
}

void* CMenuItemAccessible::interface_cast(QAccessible::InterfaceType type) {
  return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList CMenuItemAccessible::actionNames() const {
  return m_pAction && m_pAction->isEnabled() ? QStringList{pressAction()} : QStringList{};
}

void CMenuItemAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction() || !m_pAction || !m_pAction->isEnabled()) return;
  if (auto* bar = qobject_cast<QMenuBar*>(m_pOwner))
    bar->setActiveAction(m_pAction);  // opens the menu
  else
    m_pAction->trigger();
}

QStringList CMenuItemAccessible::keyBindingsForAction(const QString& actionName) const {
  const QString key = m_pAction ? Shortcut(m_pAction->text()) : QString();
  return actionName == pressAction() && !key.isEmpty() ? QStringList{key} : QStringList{};
}
