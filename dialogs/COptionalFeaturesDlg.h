#pragma once
// The Optional Features dialog (template 132): the ten radio-wide options
// of the active document's image as drop-down lists. Opening reads the
// bytes, OK writes them back; Cancel, Esc and the close box touch nothing.
#include "dialogs/CSettingsDialog.h"
#include "data/OptionMap.h"

class QComboBox;

class COptionalFeaturesDlg : public CSettingsDialog {
  Q_OBJECT
 public:
  explicit COptionalFeaturesDlg(CCommandHost* host);

  // Shows the dialog modally over the active document's image. Without a
  // document window nothing is shown and -1 is returned.
  int DoModal();

  QComboBox* List(chanset::Option option) const;

  void accept() override;

 private:
  // Fills the lists and selects what the image holds.
  void OnInitDialog();
};
