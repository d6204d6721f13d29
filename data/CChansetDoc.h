#pragma once
// The document: owns one memory image, creates it on New, loads and stores it
// as a .dat file. Its only view is a CChansetView; its window is the
// CChildFrame that holds that view.
//
// The modified flag is set by whatever changes the document's data: an
// accepted cell edit (the view's edited() signal), a settings dialog's OK,
// a change of the power table and a completed radio read. Saving and
// loading clear it. Closing the main window asks to save a modified
// document.
#include <QObject>
#include <QString>
#include <functional>

#include "data/DatFile.h"
#include "data/MemoryImage.h"

class QWidget;

class CChansetDoc : public QObject {
  Q_OBJECT
 public:
  explicit CChansetDoc(QObject* parent = nullptr);

  chanset::Image& Image() { return m_image; }
  const chanset::Image& Image() const { return m_image; }

  // New image, language title, suggested file name from [Setup] AppName,
  // fresh-document flag set.
  bool OnNewDocument();
  // Loads `path`. On any error the image, title and path stay as they were.
  // On success: title = file name, path = `path`, not modified, fresh flag
  // cleared.
  chanset::DatError OnOpenDocument(const QString& path, QString* sysError = nullptr);
  // Lets the channel encoder write the view's channels into the image,
  // then stores `path` atomically.
  // On success: title = file name, path = `path`, not modified.
  chanset::DatError OnSaveDocument(const QString& path, QString* sysError = nullptr);
  // Tells the user why a load or save of `path` failed: "Data Format Error"
  // (OK, no icon) for a file that is not a whole configuration file, the
  // cannot-open or cannot-save message with the system's reason otherwise.
  static void ReportSaveLoadException(QWidget* parent, const QString& path, chanset::DatError error,
                                      const QString& sysError, bool saving);
  // The file dialogs' filter: the template's pattern ("*.dat"), then "All
  // Files (*)".
  static QString FileFilter();

  QString GetTitle() const { return m_strTitle; }
  void SetTitle(const QString& title);
  // The file the document was loaded from or saved to; empty when it has none.
  QString GetPathName() const { return m_strPathName; }
  // The name offered by the Save dialog of a document that has no file yet
  // ([Setup] AppName; empty when the key is absent).
  QString SuggestedFileName() const { return m_strSuggestedName; }

  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true);

  // Writes the working copy of the channels (the view's grid) into the
  // image it is given. The view installs it when it is created and removes
  // it when it goes; every save runs it first, so what is saved is what
  // the grid shows.
  using ChannelEncoder = std::function<void(chanset::Image&)>;
  void SetChannelEncoder(ChannelEncoder encoder) { m_encoder = std::move(encoder); }
  // Runs the encoder (nothing without one).
  void EncodeChannels();

 signals:
  void titleChanged(const QString& title);
  void modifiedChanged(bool modified);

 private:
  bool FinishFileOperation(chanset::DatError result, const std::string& err, const QString& path,
                           QString* sysError);
  chanset::Image m_image{};
  QString m_strTitle;
  QString m_strPathName;
  QString m_strSuggestedName;
  bool m_bModified = false;
  ChannelEncoder m_encoder;
};
