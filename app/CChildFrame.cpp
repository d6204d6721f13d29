#include "app/CChildFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>

#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

CChildFrame::CChildFrame(CChansetDoc* doc, QWidget* parent) : QMdiSubWindow(parent), m_pDocument(doc) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  doc->setParent(this);
  m_pView = new CChansetView(doc, this);
  setWidget(m_pView);
  // The document's title, with a "*" after it while the document differs
  // from its file.
  auto showTitle = [this](const QString& title) { setWindowTitle(title + QStringLiteral("[*]")); };
  showTitle(doc->GetTitle());
  setWindowModified(doc->IsModified());
  setWindowIcon(CLanguagePack::Icon(ids::kDocIcon));
  connect(doc, &CChansetDoc::titleChanged, this, showTitle);
  connect(doc, &CChansetDoc::modifiedChanged, this, &QWidget::setWindowModified);
  // The window menu's Close (a shortcut of the whole window) takes Ctrl+F4
  // and nothing else: Ctrl+W is the Write command, and the platform's own
  // Close keys need not include Ctrl+F4 (on X11 they are Ctrl+W alone).
  if (QMenu* menu = systemMenu()) {
    for (QAction* action : menu->actions()) {
      const QList<QKeySequence> keys = action->shortcuts();
      if (keys.contains(QKeySequence(Qt::CTRL | Qt::Key_W)) || keys.contains(QKeySequence(Qt::CTRL | Qt::Key_F4)))
        action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4)});
    }
  }
  setGeometry(0, 0, 1600, 1200);
}

CChildFrame::~CChildFrame() {
  // The view goes first: it refers to the document while it is destroyed.
  delete m_pView;
  m_pView = nullptr;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  event->ignore();
  // A value still being typed goes into the grid before the window hides;
  // a refused one keeps the window open for correction.
  if (m_pView && isVisible() && !m_pView->CommitBeforeClosing()) return;
  hide();
}

void CChildFrame::hideEvent(QHideEvent* event) {
  emit hiding();
  QMdiSubWindow::hideEvent(event);
}
