#include "platform/CFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace {
CFileDialog::Responder& TheResponder() {
  static CFileDialog::Responder responder;
  return responder;
}

QString Ask(QWidget* parent, const CFileDialog::Request& r, const QString& suffix) {
  if (TheResponder()) return TheResponder()(r);
  QFileDialog dialog(parent, r.caption);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(r.filter);
  if (r.mode == CFileDialog::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    QFileInfo info(r.suggested);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    if (r.chosenFilter && !r.chosenFilter->isEmpty()) dialog.selectNameFilter(*r.chosenFilter);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(r.suggested);
    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString& place : r.places)
      if (QFileInfo(place).isDir()) places << QUrl::fromLocalFile(place);
    dialog.setSidebarUrls(places);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (r.chosenFilter) *r.chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().first();
}
}  // namespace

void CFileDialog::SetResponder(Responder responder) { TheResponder() = std::move(responder); }

QString CFileDialog::GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                     const QStringList& places) {
  return Ask(parent, Request{Open, caption, QDir::currentPath(), filter, nullptr, places}, QString());
}

QString CFileDialog::GetSaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                     const QString& filter, const QString& suffix, QString* chosenFilter) {
  QString path = Ask(parent, Request{Save, caption, suggested, filter, chosenFilter, {}}, suffix);
  if (!path.isEmpty() && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += QLatin1Char('.') + suffix;
  return path;
}
