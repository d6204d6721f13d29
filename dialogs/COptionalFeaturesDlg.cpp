#include "dialogs/COptionalFeaturesDlg.h"

#include <QComboBox>

#include "data/CChansetDoc.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

using namespace chanset;

namespace {
// The On/Off lists keep the items of the template (the language pack's own
// texts); the others are filled here on every opening.
bool ItemsFromTemplate(Option option) {
  return option == Option::Vox || option == Option::Beep || option == Option::BatterySaver;
}
}  // namespace

COptionalFeaturesDlg::COptionalFeaturesDlg(CCommandHost* host)
    : CSettingsDialog(host, ids::kOptionalFeaturesDialog) {
  m_dlg.ConnectOkCancel(this);
  EnableControlHelp();
}

QComboBox* COptionalFeaturesDlg::List(Option option) const {
  return m_dlg.Control<QComboBox>(InfoOf(option).listId);
}

int COptionalFeaturesDlg::DoModal() {
  if (!IsBuilt() || !ActiveDocument()) return -1;
  OnInitDialog();
  return exec();
}

void COptionalFeaturesDlg::OnInitDialog() {
  const Image& image = ActiveDocument()->Image();
  for (const OptionInfo& info : Options()) {
    QComboBox* list = List(info.option);
    if (!list) continue;
    if (!ItemsFromTemplate(info.option) || list->count() == 0) {
      list->clear();
      for (const std::string& item : OptionItems(info.option, g_bChinese))
        list->addItem(QString::fromStdString(item));
    }
    // A byte without an item leaves the list with no selection.
    const int index = OptionSelection(info.option, image);
    list->setCurrentIndex(index < list->count() ? index : -1);
  }
}

void COptionalFeaturesDlg::accept() {
  if (CChansetDoc* doc = ActiveDocument()) {
    const Image before = doc->State();
    Image& image = doc->Image();
    for (const OptionInfo& info : Options())
      if (QComboBox* list = List(info.option)) StoreOptionSelection(info.option, list->currentIndex(), image);
    doc->RecordChange(EditKind::OptionalFeatures, before);
  }
  CSettingsDialog::accept();
}
