#pragma once
// Common ground of the three radio settings dialogs: each is built once
// from its template in the language pack, lives as long as the main window
// and reads and writes the image of its active document.
#include <QDialog>

#include "platform/CDialogTemplate.h"

class CChansetDoc;
class CCommandHost;

class CSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // False when the language pack had no template for the dialog.
  bool IsBuilt() const { return m_bBuilt; }
  const CDialogTemplate& Template() const { return m_dlg; }

 protected:
  CSettingsDialog(CCommandHost* host, int templateId, const CDialogTemplate::Factory& factory = {});

  CCommandHost* Host() const { return m_pHost; }
  // The document of the main window's active document window, or nullptr.
  CChansetDoc* ActiveDocument() const;
  // F1 on any control asks the help for the topic numbered like the
  // control that has the focus; the key then goes on as usual.
  void EnableControlHelp();

  bool eventFilter(QObject* watched, QEvent* event) override;

  CDialogTemplate m_dlg;

 private:
  CCommandHost* m_pHost;
  bool m_bBuilt = false;
  bool m_bControlHelp = false;
};
