#include "app/CLockIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QtGui/qguiapplication_platform.h>

#include "app/X11LockKeys.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

using chanset::LockPane;
using chanset::PaneLook;

CLockIndicators::CLockIndicators(QStatusBar* bar) : QObject(bar) {
  for (int id : {ids::kIndicatorCaps, ids::kIndicatorNum, ids::kIndicatorScrl}) {
    const QString text = CLanguagePack::String(id);
    auto* pane = new QLabel(text, bar);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(pane);
    m_panes << pane;
    m_texts << text;
  }
  qApp->installEventFilter(this);
  Refresh();
}

std::optional<chanset::LockKeys> CLockIndicators::ReadKeys() {
#if QT_CONFIG(xcb)
  if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
    chanset::LockKeys keys;
    if (chanset::ReadX11LockKeys(x11->display(), keys)) return keys;
  }
#endif
  return std::nullopt;
}

void CLockIndicators::Refresh() { Show(ReadKeys()); }

void CLockIndicators::Show(const std::optional<chanset::LockKeys>& keys) {
  for (int i = 0; i < m_panes.size(); ++i) {
    const PaneLook look = chanset::LockPaneLook(keys, static_cast<LockPane>(i));
    m_panes[i]->setText(look == PaneLook::Blank ? QString() : m_texts[i]);
    m_panes[i]->setEnabled(look == PaneLook::Lit);
  }
}

bool CLockIndicators::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return QObject::eventFilter(watched, event);
  const auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // A key event passes each widget on its way up; read once, where it
      // was delivered first.
      const QWidget* focus = QApplication::focusWidget();
      if (widget == focus || (!focus && widget->isWindow())) Refresh();
      break;
    }
    case QEvent::WindowActivate:
      // Sent to every widget of the window; the window itself reads.
      if (widget->isWindow()) Refresh();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
