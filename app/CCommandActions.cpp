#include "app/CCommandActions.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QWidget>

#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"

namespace {
const char* const kCommandProperty = "chansetCommand";
const char* const kMenuTextProperty = "chansetMenuText";
}  // namespace

CCommandActions::CCommandActions(chanset::CommandRegistry& commands, QWidget* owner)
    : QObject(owner), m_commands(commands), m_pOwner(owner) {}

int CCommandActions::CommandOf(const QAction* action) {
  return action ? action->property(kCommandProperty).toInt() : 0;
}

QAction* CCommandActions::Make(int id, QObject* parent, const QString& menuText) {
  auto* action = new QAction(parent);
  action->setProperty(kCommandProperty, id);
  action->setStatusTip(CLanguagePack::StatusPrompt(id));
  if (!menuText.isEmpty()) SetMenuText(action, menuText);
  connect(action, &QAction::triggered, this, [this, id] {
    m_commands.Run(id);
    Update();
  });
  connect(action, &QObject::destroyed, this, [this, id, action] { m_actions.remove(id, action); });
  m_actions.insert(id, action);
  UpdateAction(id, action);
  return action;
}

QMenu* CCommandActions::NewMenu(const QString& title, QWidget* parent) {
  auto* menu = new QMenu(title, parent);
  menu->installEventFilter(this);
  connect(menu, &QMenu::aboutToShow, this, &CCommandActions::Update);
  return menu;
}

QVector<QMenu*> CCommandActions::BuildMenu(int menuId) {
  QVector<QMenu*> popups;
  for (const MenuItem& popup : CLanguagePack::Menu(menuId).popups) {
    QMenu* menu = NewMenu(popup.text, m_pOwner);
    for (const MenuItem& item : popup.items) {
      if (item.separator) {
        menu->addSeparator();
        continue;
      }
      // The first text a command has in any menu is its context-menu text.
      if (!m_packTexts.contains(item.id)) m_packTexts.insert(item.id, item.text);
      menu->addAction(Make(item.id, menu, item.text));
    }
    popups << menu;
  }
  return popups;
}

QMenu* CCommandActions::BuildContextMenu(const QList<int>& ids, QWidget* parent) {
  QMenu* menu = NewMenu(QString(), parent);
  for (int id : ids) {
    if (id == 0) {
      menu->addSeparator();
      continue;
    }
    QString text = m_packTexts.value(id);
    if (text.isEmpty()) text = CLanguagePack::TooltipPrompt(id);
    menu->addAction(Make(id, menu, text));
  }
  return menu;
}

QString CCommandActions::ItemText(const QString& menuText, bool plain) {
  QString text = menuText.section(QLatin1Char('\t'), 0, 0);
  if (!plain) return text;
  // An access key in brackets after the text, as East Asian menus write it.
  static const QRegularExpression kBracketKey(QStringLiteral("\\(&[^&]\\)$"));
  text.remove(kBracketKey);
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text.trimmed();
}

void CCommandActions::SetMenuText(QAction* action, const QString& menuText) {
  action->setProperty(kMenuTextProperty, menuText);
  action->setText(MenuText(CommandOf(action), action));
}

// The registry's run-time text, keeping the pack's shortcut after the tab;
// the pack's text when there is none.
QString CCommandActions::MenuText(int id, const QAction* action) const {
  const QString pack = action->property(kMenuTextProperty).toString();
  const QString runtime = QString::fromStdString(m_commands.Text(id));
  if (runtime.isEmpty()) return pack;
  const int tab = pack.indexOf(QLatin1Char('\t'));
  if (tab < 0 || runtime.contains(QLatin1Char('\t'))) return runtime;
  return runtime + pack.mid(tab);
}

void CCommandActions::UpdateText(int id) {
  for (auto it = m_actions.find(id); it != m_actions.end() && it.key() == id; ++it)
    if (it.value()->property(kMenuTextProperty).isValid()) it.value()->setText(MenuText(id, it.value()));
}

void CCommandActions::UpdateAction(int id, QAction* action) {
  action->setEnabled(m_commands.IsEnabled(id));
  action->setCheckable(m_commands.IsCheckable(id));
  if (action->isCheckable()) action->setChecked(m_commands.IsChecked(id));
}

void CCommandActions::Update() {
  for (auto it = m_actions.begin(); it != m_actions.end(); ++it) UpdateAction(it.key(), it.value());
}

bool CCommandActions::eventFilter(QObject* watched, QEvent* event) {
  // F1 on a highlighted menu command asks for that command's topic.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
      if (int id = CommandOf(menu->activeAction())) {
        CHelpService::ShowTopic(id);
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}
