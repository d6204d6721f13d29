#include "editor/EditCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>

#include "platform/CCommandHost.h"
#include "data/CChansetDoc.h"
#include "editor/CChannelEditing.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "editor/ChannelImport.h"
#include "editor/ChansetCsv.h"
#include "editor/ChirpCsv.h"
#include "platform/AtomicFile.h"
#include "platform/CFileDialog.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

static_assert(ids::kStepNameFirst + static_cast<int>(EditKind::Move) < ids::kPasteRefused,
              "every kind of step has a name in the string table");

CChannelEditing* EditingOf(CCommandHost* host) {
  CChansetView* view = host->ActiveView();
  return view ? CChannelEditing::For(view) : nullptr;
}

// "&Undo Rx Frequency": the pack's pattern with the step's name; empty (the
// pack's own "&Undo") when there is no step.
std::string StepText(int patternId, bool has, EditKind kind) {
  if (!has) return {};
  const QString name = CLanguagePack::String(ids::kStepNameFirst + static_cast<int>(kind));
  return CLanguagePack::String(patternId).arg(name).toStdString();
}

void ShowError(QWidget* parent, const QString& text) {
  CMessageBox::Show(parent, text, CMessageBox::Ok, CMessageBox::Exclamation);
}

// Where a file dialog starts: beside the document's file, else in the
// current folder, named after the document.
QString SuggestedCsvPath(const CChansetDoc* doc) {
  QString base = doc ? doc->GetPathName() : QString();
  if (base.isEmpty()) {
    QString name = doc ? doc->SuggestedFileName() : QString();
    if (name.isEmpty()) name = QStringLiteral("channels");
    base = QDir::current().filePath(name);
  }
  const QFileInfo info(base);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv"));
}

}  // namespace

void InstallEditCommands(CCommandHost* host) {
  if (!host) return;
  using chanset::Command;
  using Action = void (CChannelEditing::*)();
  using Predicate = bool (CChannelEditing::*)() const;
  auto add = [host](int id, Action action, Predicate can) {
    host->AddViewCommand(
        id, [action](CChansetView* view) { (CChannelEditing::For(view)->*action)(); },
        Command().Enabled([host, can] {
          CChannelEditing* editing = EditingOf(host);
          return editing && (editing->*can)();
        }));
  };
  add(ids::kEditUndo, &CChannelEditing::Undo, &CChannelEditing::CanUndo);
  add(ids::kEditRedo, &CChannelEditing::Redo, &CChannelEditing::CanRedo);
  add(ids::kEditCut, &CChannelEditing::Cut, &CChannelEditing::CanChangeTargets);
  add(ids::kEditCopy, &CChannelEditing::Copy, &CChannelEditing::CanChangeTargets);
  add(ids::kEditPaste, &CChannelEditing::Paste, &CChannelEditing::CanPaste);
  add(ids::kEditDelete, &CChannelEditing::Delete, &CChannelEditing::CanChangeTargets);
  add(ids::kEditMoveUp, &CChannelEditing::MoveUp, &CChannelEditing::CanMoveUp);
  add(ids::kEditMoveDown, &CChannelEditing::MoveDown, &CChannelEditing::CanMoveDown);
  auto ready = Command().Enabled([host] {
    CChannelEditing* editing = EditingOf(host);
    return editing && editing->CanChangeTargets();
  });
  host->AddViewCommand(ids::kFileImportChannels, ImportChannelsFromFile, ready);
  host->AddViewCommand(ids::kFileExportChannels, ExportChannelsToFile, ready);

  // Undo and Redo name the step they would take back or do again.
  host->AddUpdateHook([host] {
    CChannelEditing* editing = EditingOf(host);
    const bool undo = editing && editing->CanUndo();
    const bool redo = editing && editing->CanRedo();
    host->Commands().SetText(ids::kEditUndo,
                             StepText(ids::kUndoStepText, undo, undo ? editing->UndoKind() : EditKind::Move));
    host->Commands().SetText(ids::kEditRedo,
                             StepText(ids::kRedoStepText, redo, redo ? editing->RedoKind() : EditKind::Move));
  });
  // Paste follows what the clipboard holds.
  QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, host->HostWindow(),
                   [host] { host->UpdateCommandUI(); });
}

void ExportChannelsToFile(CChansetView* view) {
  CChannelEditing* editing = CChannelEditing::For(view);
  if (!editing || !editing->CanChangeTargets()) return;
  const Image state = editing->CommittedState();
  const QString chansetType = CLanguagePack::String(ids::kChansetCsvFilter);
  const QString chirpType = CLanguagePack::String(ids::kChirpCsvFilter);
  QString chosen = chansetType;
  const QString path =
      CFileDialog::GetSaveFileName(view, CLanguagePack::String(ids::kExportTitle), SuggestedCsvPath(view->GetDocument()),
                                   chansetType + QStringLiteral(";;") + chirpType, QStringLiteral("csv"), &chosen);
  if (path.isEmpty()) return;

  std::vector<std::string> notes;
  const std::string text = chosen == chirpType
                               ? WriteChirpCsv(state, &notes, g_bChinese, RadioWatts(g_settingsFile(), state))
                               : WriteChansetCsv(state, g_bChinese);
  std::string reason;
  if (!WriteFileAtomic(path.toStdString(), text, &reason)) {
    QString message = CLanguagePack::String(ids::kCannotSave);
    ShowError(view, message.arg(QDir::toNativeSeparators(path), QString::fromStdString(reason)));
    return;
  }
  if (notes.empty()) return;
  QStringList lines;
  for (const std::string& note : notes) lines << QString::fromStdString(note);
  CMessageBox::Show(view,
                    CLanguagePack::String(ids::kExportNotes)
                        .arg(QFileInfo(path).fileName(), lines.join(QLatin1Char('\n'))),
                    CMessageBox::Ok, CMessageBox::Information);
}

void ImportChannelsFromFile(CChansetView* view) {
  CChannelEditing* editing = CChannelEditing::For(view);
  if (!editing || !editing->CanChangeTargets()) return;
  view->CommitEditor();
  const QString path = CFileDialog::GetOpenFileName(
      view, CLanguagePack::String(ids::kImportTitle),
      CLanguagePack::String(ids::kCsvFilesFilter) + QStringLiteral(";;") + CLanguagePack::String(ids::kAllFilesFilter));
  if (path.isEmpty()) return;
  const QString shown = QDir::toNativeSeparators(path);

  // The window never waits on what it reads: anything but a regular file is
  // refused at once, and no more is read than a channel table can hold.
  std::string bytes, reason;
  switch (ReadInput(path.toStdString(), bytes, InputRules(), &reason)) {
    case InputStatus::Ok:
      break;
    case InputStatus::TooLarge:
      ShowError(view, CLanguagePack::String(ids::kImportTooLarge).arg(shown));
      return;
    case InputStatus::NotRegular:
      ShowError(view, CLanguagePack::String(ids::kCannotImport).arg(shown, CLanguagePack::String(ids::kNotAFile)));
      return;
    case InputStatus::Failed:
      ShowError(view, CLanguagePack::String(ids::kCannotImport).arg(shown, QString::fromStdString(reason)));
      return;
  }

  ImportOptions options;
  const RowRules rules = editing->Rules();
  options.limits = rules.limits;
  options.bandText = rules.bandText;
  options.watts = RadioWatts(g_settingsFile(), editing->CommittedState());
  options.chinese = g_bChinese;
  // The preview reads the file as it is built; a file it cannot use is
  // reported before the preview is ever shown.
  CImportPreviewDlg preview(view, QFileInfo(path).fileName(), bytes, options);
  const ImportResult& first = preview.Result();
  if (!first.error.empty()) {
    ShowError(view, CLanguagePack::String(ids::kCannotImport).arg(shown, QString::fromStdString(first.error)));
    return;
  }
  if (first.rows.empty()) {
    ShowError(view, CLanguagePack::String(ids::kImportNoRows).arg(shown));
    return;
  }
  if (preview.exec() != QDialog::Accepted) return;
  Image state = editing->CommittedState();
  if (ApplyImport(preview.Result(), state) > 0) editing->ApplyState(EditKind::Import, state);
}
