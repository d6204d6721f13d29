#pragma once
// The workspace in which the channel windows live. Its background is the
// first "background.bmp" that can be read of the user's, the site's and the
// one beside the program (chanset::BackgroundPictureFiles; read afresh at
// every paint, so a replaced file shows at the next repaint), or bitmap 137
// of the language pack when none can, tiled unscaled from the top-left
// corner.
#include <QMdiArea>
#include <QPixmap>

class CWorkspaceClient : public QMdiArea {
  Q_OBJECT
 public:
  explicit CWorkspaceClient(QWidget* parent = nullptr);

  static QPixmap BackgroundPicture();

  // Scrolls the workspace as little as it takes to show `rect` (in the
  // coordinates of `widget`, a widget inside a channel window); its left
  // and top edges win where it is larger than the workspace.
  void EnsureVisible(const QWidget* widget, const QRect& rect);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};
