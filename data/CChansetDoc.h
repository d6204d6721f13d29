#pragma once
// The document: owns one memory image, creates it on New, loads and stores it
// as a .dat file. Its only view is a CChansetView; its window is the
// CChildFrame that holds that view.
//
// Every change of the document's data is one step of its undo history: an
// accepted cell edit, a settings dialog's OK, a change of the power table, a
// completed radio read, a paste, cut, delete, move or import. A step keeps
// the whole state before and after it: the image with the grid's channels
// written into it (the grid is the working copy of the channels). The
// modified flag follows the history: it is clear exactly when the history
// stands where the document was last loaded, saved or created. Closing the
// main window asks to save a modified document.
#include <QObject>
#include <QString>
#include <functional>

#include "data/DatFile.h"
#include "data/MemoryImage.h"
#include "data/UndoHistory.h"

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

  // Undo history ------------------------------------------------------------
  const chanset::UndoHistory& History() const { return m_history; }
  // The document as one image: a copy of the image with the grid's channels
  // written into it as they stand (an open cell editor is not committed).
  chanset::Image State() const;
  // Records a change already made to the image or the grid; `before` is the
  // State() taken before it. A change that altered no byte is no step.
  void RecordChange(chanset::EditKind kind, const chanset::Image& before);
  // Makes `after` the document's state as one step: the image becomes
  // `after` and the view shows it (stateRestored). False when nothing changed.
  bool ReplaceState(chanset::EditKind kind, const chanset::Image& after);
  // Steps back or forward: the image becomes the state before (after) the
  // step and the view shows it. False when there is no such step.
  bool Undo();
  bool Redo();

  // Writes the working copy of the channels (the view's grid) into the
  // image it is given; with `commitEditor` an open in-place editor is
  // committed first. The view installs it when it is created and removes it
  // when it goes. Every save runs it with the commit, so what is saved is
  // what the grid shows; State() runs it without, taking the grid's texts
  // as they stand.
  using ChannelEncoder = std::function<void(chanset::Image&, bool commitEditor)>;
  void SetChannelEncoder(ChannelEncoder encoder) { m_encoder = std::move(encoder); }
  // Runs the encoder on the document's image, committing an open editor
  // (nothing without an encoder).
  void EncodeChannels();

 signals:
  void titleChanged(const QString& title);
  void modifiedChanged(bool modified);
  // The image was replaced by a step of the history (undo, redo, paste,
  // import, ...): the view shows it, taking the radio type and band from it.
  void stateRestored();
  // A step was recorded, undone or redone.
  void historyChanged();

 private:
  bool FinishFileOperation(chanset::DatError result, const std::string& err, const QString& path,
                           QString* sysError);
  chanset::Image m_image{};
  QString m_strTitle;
  QString m_strPathName;
  QString m_strSuggestedName;
  void PutState(const chanset::Image& state);
  void HistoryMoved();
  // Shows the state the history moved to; false when it could not move.
  bool GoTo(const chanset::Image* state);

  bool m_bModified = false;
  ChannelEncoder m_encoder;
  chanset::UndoHistory m_history;
};
