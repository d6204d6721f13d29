#include "data/CChansetDoc.h"

#include <QDir>
#include <QFileInfo>

#include "data/DatFile.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

CChansetDoc::CChansetDoc(QObject* parent) : QObject(parent) {}

bool CChansetDoc::OnNewDocument() {
  m_strPathName.clear();
  m_history.Clear();
  HistoryMoved();
  MakeNewImage(m_image);
  SetTitle(QString::fromUtf8(NewDocumentTitle(g_bChinese)));
  m_strSuggestedName = QString::fromStdString(g_settingsFile().GetValue("Setup", "AppName", ""));
  g_bFreshDocument = true;
  return true;
}

// After a load or store: on success the document belongs to `path` and is
// unmodified; on failure only the system reason is handed back.
bool CChansetDoc::FinishFileOperation(DatError result, const std::string& err, const QString& path,
                                      QString* sysError) {
  if (result != DatError::None) {
    if (sysError) *sysError = QString::fromStdString(err);
    return false;
  }
  m_strPathName = path;
  SetTitle(QFileInfo(path).fileName());
  return true;
}

DatError CChansetDoc::OnOpenDocument(const QString& path, QString* sysError) {
  std::string err;
  DatError result = LoadDatFile(path.toStdString(), m_image, &err);
  if (!FinishFileOperation(result, err, path, sysError)) return result;
  // A loaded file starts a history of its own.
  m_history.Clear();
  HistoryMoved();
  g_bFreshDocument = false;
  return DatError::None;
}

DatError CChansetDoc::OnSaveDocument(const QString& path, QString* sysError) {
  EncodeChannels();
  std::string err;
  DatError result = StoreDatFile(path.toStdString(), m_image, &err);
  if (FinishFileOperation(result, err, path, sysError)) {
    m_history.MarkSaved();
    HistoryMoved();
  }
  return result;
}

void CChansetDoc::ReportSaveLoadException(QWidget* parent, const QString& path, DatError error,
                                          const QString& sysError, bool saving) {
  if (error == DatError::None) return;
  if (!saving && (error == DatError::Format || error == DatError::EndOfFile)) {
    CMessageBox::Show(parent, QString::fromUtf8(DatFormatErrorText(g_bChinese)), CMessageBox::Ok,
                      CMessageBox::NoIcon);
    return;
  }
  QString text = CLanguagePack::String(saving ? ids::kCannotSave : ids::kCannotOpen);
  if (text.isEmpty()) text = QStringLiteral("%1\n%2");
  // A folder, device, pipe or socket is named in the user's language; other
  // failures carry the system's reason.
  QString reason = sysError;
  if (error == DatError::NotAFile && !CLanguagePack::String(ids::kNotAFile).isEmpty())
    reason = CLanguagePack::String(ids::kNotAFile);
  CMessageBox::Show(parent, text.arg(QDir::toNativeSeparators(path), reason));
}

void CChansetDoc::EncodeChannels() {
  if (m_encoder) m_encoder(m_image, true);
}

QString CChansetDoc::FileFilter() {
  // Template string 129: the fourth field is the filter ("*.dat").
  QString pattern = CLanguagePack::String(ids::kDocTemplate).section(QLatin1Char('\n'), 3, 3);
  if (pattern.isEmpty()) pattern = QStringLiteral("*.dat");
  QString filter = QStringLiteral("%1 (%1)").arg(pattern);
  QString all = CLanguagePack::String(ids::kAllFilesFilter);
  if (!all.isEmpty()) filter += QStringLiteral(";;") + all;
  return filter;
}

void CChansetDoc::SetTitle(const QString& title) {
  if (title == m_strTitle) return;
  m_strTitle = title;
  emit titleChanged(title);
}

void CChansetDoc::SetModifiedFlag(bool modified) {
  if (modified == m_bModified) return;
  m_bModified = modified;
  emit modifiedChanged(modified);
}

// Undo history -----------------------------------------------------------------

chanset::Image CChansetDoc::State() const {
  chanset::Image state = m_image;
  if (m_encoder) m_encoder(state, false);
  return state;
}

void CChansetDoc::RecordChange(EditKind kind, const chanset::Image& before) {
  if (m_history.Record(kind, before, State())) HistoryMoved();
}

bool CChansetDoc::ReplaceState(EditKind kind, const chanset::Image& after) {
  if (!m_history.Record(kind, State(), after)) return false;
  PutState(after);
  HistoryMoved();
  return true;
}

bool CChansetDoc::Undo() { return GoTo(m_history.Undo()); }

bool CChansetDoc::Redo() { return GoTo(m_history.Redo()); }

bool CChansetDoc::GoTo(const chanset::Image* state) {
  if (!state) return false;
  PutState(*state);
  HistoryMoved();
  return true;
}

void CChansetDoc::PutState(const chanset::Image& state) {
  m_image = state;
  emit stateRestored();
}

void CChansetDoc::HistoryMoved() {
  SetModifiedFlag(m_history.IsModified());
  emit historyChanged();
}
