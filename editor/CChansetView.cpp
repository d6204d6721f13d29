#include "editor/CChansetView.h"

#include "data/CChansetDoc.h"

// Placeholder until the channel grid is built: an empty form.
CChansetView::CChansetView(CChansetDoc* doc, QWidget* parent) : QWidget(parent), m_pDocument(doc) {
  if (doc) doc->SetView(this);
}

CChansetView::~CChansetView() {
  if (m_pDocument && m_pDocument->GetView() == this) m_pDocument->SetView(nullptr);
}

void CChansetView::OnInitialUpdate() {
  m_bFirstInit = false;
  RefreshFromImage();
}

void CChansetView::RefreshFromImage() {}
void CChansetView::EncodeGridToImage() {}
void CChansetView::CommitEditor() {}
