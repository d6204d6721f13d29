#include "app/CWorkspaceClient.h"

#include <QImage>
#include <QPainter>
#include <QPaintEvent>

#include "app/BackgroundTiles.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"
#include "platform/SettingsLocation.h"

CWorkspaceClient::CWorkspaceClient(QWidget* parent) : QMdiArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QPixmap CWorkspaceClient::BackgroundPicture() {
  // Read through QImage: QPixmap's file cache would keep an older picture
  // that was replaced within the same second.
  for (const std::string& file : chanset::BackgroundPictureFiles()) {
    QImage image(QString::fromStdString(file));
    if (!image.isNull()) return QPixmap::fromImage(image);
  }
  return CLanguagePack::Bitmap(ids::kBackgroundBitmap);
}

void CWorkspaceClient::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  QPixmap picture = BackgroundPicture();
  QSize area = viewport()->size();
  if (picture.isNull()) {
    // Neither the file nor the pack's bitmap: a plain light face.
    painter.fillRect(event->rect(), palette().window());
    return;
  }
  for (const chanset::TileOrigin& t :
       chanset::TileOrigins(area.width(), area.height(), picture.width(), picture.height()))
    painter.drawPixmap(t.x, t.y, picture);
}

void CWorkspaceClient::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  viewport()->update();
}
