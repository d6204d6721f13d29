#pragma once
// The Open and Save As file dialogs. Save never picks a file by itself:
// the suggested name is only offered, and Qt's dialog asks before it
// replaces an existing file. Tests install a responder that answers in
// place of the dialog.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class CFileDialog {
 public:
  enum Mode { Open, Save };
  struct Request {
    Mode mode = Open;
    QString caption;
    QString suggested;  // full path offered (Save), or the folder (Open)
    QString filter;
    // Save with several file types: the type offered first, and where the
    // type the user chose is written (a responder sets it too). Null when
    // the caller does not ask.
    QString* chosenFilter = nullptr;
    QStringList places;  // folders listed beside the standard places (Open)
  };
  // Returns the chosen path, or an empty string for Cancel.
  using Responder = std::function<QString(const Request&)>;

  // `places`: folders the dialog lists among its places, beside its own.
  static QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                 const QStringList& places = QStringList());
  // The chosen name gets `suffix` (without the dot) when it has none. With
  // a choice of file types (";;"-separated in `filter`), `chosenFilter`
  // names the type offered first and receives the one chosen.
  static QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& suffix, QString* chosenFilter = nullptr);
  static void SetResponder(Responder responder);
};
