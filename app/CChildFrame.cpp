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
  setWindowTitle(doc->GetTitle());
  setWindowIcon(CLanguagePack::Icon(ids::kDocIcon));
  connect(doc, &CChansetDoc::titleChanged, this, &QWidget::setWindowTitle);
  // Ctrl+W is the Write command; the window menu's Close names Ctrl+F4,
  // which the main window carries out.
  if (QMenu* menu = systemMenu()) {
    for (QAction* action : menu->actions()) {
      QList<QKeySequence> keys = action->shortcuts();
      if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0 || keys.contains(QKeySequence::Close))
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
  hide();
}
