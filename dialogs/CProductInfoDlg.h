#pragma once
// The Product Information dialog (template 136): the radio type and the
// frequency band of the active document. OK stores them into the image and
// the registry and applies the band: new window title, frequency limits of
// the active view and power rows. Cancel changes nothing.
#include "dialogs/CSettingsDialog.h"

class QComboBox;

class CProductInfoDlg : public CSettingsDialog {
  Q_OBJECT
 public:
  enum ControlIds { IdType = 1013, IdBand = 1014 };

  explicit CProductInfoDlg(CCommandHost* host);

  // Shows the dialog modally. Without a document window nothing is shown
  // and -1 is returned.
  int DoModal();

  QComboBox* TypeList() const;
  QComboBox* BandList() const;

  void accept() override;

 private:
  void OnInitDialog();
  // The user picked another type: its bands, the first one selected.
  void OnSelchangeType();
  void LoadBands();
};
