#pragma once
// The About box (template 100): the site's About title as its caption, the
// version, copyright and owner lines of the language section, and the
// program's icon ("title.ico" beside the executable when it loads, else the
// pack's icon 128). OK, Enter, Esc and the close box all close it. The
// program's own version is the tooltip of the version line and the icon.
#include <QDialog>

#include "platform/CDialogTemplate.h"

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  enum ControlIds { IdIcon = 1005, IdVersion = 1002, IdCopyrights = 1003, IdOwner = 1004, IdOk = 1 };

  explicit CAboutDlg(QWidget* parent = nullptr);

  // Builds the dialog from its template and fills it; then runs it modally.
  // Returns the QDialog result, or -1 when the template is missing.
  int DoModal();
  // Builds and fills the dialog without running it. False when the
  // language pack has no template 100.
  bool OnInitDialog();

  const CDialogTemplate& Form() const { return m_form; }
  // "Chanset <version>": the tooltip of the version line and the icon.
  static QString ProgramVersionText();
  // True when the icon shown came from "title.ico".
  bool ShowsTitleIcon() const { return m_bTitleIcon; }

 private:
  CDialogTemplate m_form;
  bool m_bBuilt = false;
  bool m_bTitleIcon = false;
};
