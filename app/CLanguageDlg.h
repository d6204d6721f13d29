#pragma once
// The Language dialog (template 134) and the Language command (32799).
//
// The dialog shows the running language checked. OK with the other language
// writes [Setup] Language to the settings file at once and sets m_bChanged,
// which stays set for the life of the channel view that owns the dialog.
// The command then closes the main window exactly as File Exit does (the
// save prompts included) and, only when the window really closed, starts a
// new instance of the program, which comes up in the new language.
#include <QDialog>
#include <functional>

#include "platform/CDialogTemplate.h"

class CChansetView;
class CCommandHost;

class CLanguageDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CLanguageDlg(QWidget* parent = nullptr);

  // The view's own dialog, created on first use and destroyed with the view.
  static CLanguageDlg* ForView(CChansetView* view);

  // 0 English, 1 Chinese; -1 before the first showing.
  int Language() const { return m_nLanguage; }
  bool Changed() const { return m_bChanged; }
  const CDialogTemplate& Form() const { return m_form; }

  void accept() override;

  // Starts the new instance; tests replace it. The default starts
  // <application directory>/Chanset detached and returns whether it started.
  using Starter = std::function<bool(const QString& program)>;
  static void SetStarter(Starter starter);
  static QString RestartProgram();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CDialogTemplate m_form;
  int m_nLanguage = -1;
  bool m_bChanged = false;
};

// The Language command on the active view: the dialog, then closing
// `mainWindow` and the restart. Returns true when a new instance was
// started.
bool RunLanguageCommand(QWidget* mainWindow, CChansetView* view);

// Registers the Language command of `host`'s window: RunLanguageCommand.
void RegisterLanguageCommand(CCommandHost* host);
