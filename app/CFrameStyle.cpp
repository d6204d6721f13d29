#include "app/CFrameStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTreeView>

#include "app/TreeBranchLines.h"

namespace {
QStyle* CopyOfApplicationStyle() {
  QStyle* style = QApplication::style() ? QStyleFactory::create(QApplication::style()->name()) : nullptr;
  return style ? style : QStyleFactory::create(QStringLiteral("Fusion"));
}

QRect ToQRect(const chanset::BranchRect& r) { return QRect(r.left, r.top, r.width, r.height); }
}  // namespace

CFrameStyle::CFrameStyle(QObject* parent) : QProxyStyle(CopyOfApplicationStyle()) { setParent(parent); }

void CFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
  switch (element) {
    case PE_IndicatorBranch:
      DrawBranch(option, painter, widget);
      return;
    case PE_IndicatorToolBarHandle:
      // The handle keeps its place, so the bar can still be dragged to
      // another edge there, but no gripper is drawn.
      return;
    default:
      QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

void CFrameStyle::DrawBranch(const QStyleOption* option, QPainter* painter, const QWidget* widget) const {
  chanset::BranchCell cell;
  cell.left = option->rect.left();
  cell.top = option->rect.top();
  cell.width = option->rect.width();
  cell.height = option->rect.height();
  cell.item = option->state & State_Item;
  cell.sibling = option->state & State_Sibling;
  cell.children = option->state & State_Children;
  cell.open = option->state & State_Open;
  // Nothing leads into the first item at the top of the tree.
  if (const auto* tree = qobject_cast<const QTreeView*>(widget)) {
    const QModelIndex index = tree->indexAt(option->rect.center());
    cell.above = !(index.isValid() && !index.parent().isValid() && index.row() == 0);
  }
  const chanset::BranchPicture picture = chanset::TreeBranchPicture(cell);

  painter->save();
  const QColor line = option->palette.color(QPalette::Dark);
  // The dots sit on every other pixel of the widget, so that the pieces of
  // one line in consecutive rows join up.
  const QBrush dots(line, Qt::Dense4Pattern);
  painter->setBrushOrigin(0, 0);
  for (const chanset::BranchRect& r : picture.dotted) painter->fillRect(ToQRect(r), dots);
  if (picture.hasBox) {
    const QRect box = ToQRect(picture.box);
    painter->fillRect(box, option->palette.brush(QPalette::Base));
    painter->setPen(line);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    for (const chanset::BranchRect& r : picture.sign)
      painter->fillRect(ToQRect(r), option->palette.color(QPalette::Text));
  }
  painter->restore();
}
