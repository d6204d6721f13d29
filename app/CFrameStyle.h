#pragma once
// The look of two parts of the main window that the running style does not
// give: the navigation tree's dotted connecting lines with boxed plus and
// minus signs (lines, buttons and lines at the root), and a toolbar without
// a gripper. Everything else is the application's style. Set on those two
// widgets only, it owns nothing but its copy of the application's style.
#include <QProxyStyle>

class CFrameStyle : public QProxyStyle {
  Q_OBJECT
 public:
  // A proxy of the application's current style, owned by `parent`.
  explicit CFrameStyle(QObject* parent);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

 private:
  void DrawBranch(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
};
