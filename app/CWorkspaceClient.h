#pragma once
// The workspace in which the channel windows live. Its background is
// "background.bmp" from the application directory (read afresh at every
// paint, so a replaced file shows at the next repaint), or bitmap 137 of
// the language pack when the file cannot be read, tiled unscaled from the
// top-left corner.
#include <QMdiArea>
#include <QPixmap>

class CWorkspaceClient : public QMdiArea {
  Q_OBJECT
 public:
  explicit CWorkspaceClient(QWidget* parent = nullptr);

  static QPixmap BackgroundPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};
