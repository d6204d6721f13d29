#include "dialogs/CProductInfoDlg.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "platform/CCommandHost.h"
#include "data/CChansetDoc.h"
#include "dialogs/ProductInfo.h"
#include "data/RadioBands.h"
#include "editor/CChansetView.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {
// A stored position as a list position; one the list does not have selects
// nothing.
int ListPosition(std::uint32_t value, int count) {
  return value < static_cast<std::uint32_t>(count) ? static_cast<int>(value) : -1;
}
}  // namespace

CProductInfoDlg::CProductInfoDlg(CCommandHost* host) : CSettingsDialog(host, ids::kProductInfoDialog) {
  m_dlg.ConnectOkCancel(this);
  EnableControlHelp();
  if (QComboBox* types = TypeList())
    connect(types, &QComboBox::currentIndexChanged, this, &CProductInfoDlg::OnSelchangeType);
}

QComboBox* CProductInfoDlg::TypeList() const { return m_dlg.Control<QComboBox>(IdType); }
QComboBox* CProductInfoDlg::BandList() const { return m_dlg.Control<QComboBox>(IdBand); }

int CProductInfoDlg::DoModal() {
  if (!IsBuilt() || !TypeList() || !BandList() || !ActiveDocument()) return -1;
  OnInitDialog();
  return exec();
}

void CProductInfoDlg::OnInitDialog() {
  QComboBox* types = TypeList();
  const QSignalBlocker quiet(types);
  types->clear();
  for (const std::string& name : chanset::TypeList(g_settingsFile())) types->addItem(QString::fromStdString(name));

  std::uint32_t type = 0, band = 0;
  ReadTypeAndBand(type, band);
  types->setCurrentIndex(ListPosition(type, types->count()));
  LoadBands();
  BandList()->setCurrentIndex(ListPosition(band, BandList()->count()));
}

void CProductInfoDlg::LoadBands() {
  QComboBox* bands = BandList();
  bands->clear();
  // With no type selected the list of position -1 is loaded ("Field0").
  for (const std::string& band : chanset::BandList(g_settingsFile(), TypeList()->currentIndex()))
    bands->addItem(QString::fromStdString(band));
}

void CProductInfoDlg::OnSelchangeType() {
  LoadBands();
  BandList()->setCurrentIndex(BandList()->count() > 0 ? 0 : -1);
}

void CProductInfoDlg::accept() {
  CChansetDoc* doc = ActiveDocument();
  CChansetView* view = Host() ? Host()->ActiveView() : nullptr;
  if (doc && view) {
    ProductChoice choice;
    choice.typePosition = TypeList()->currentIndex();
    choice.bandPosition = BandList()->currentIndex();
    choice.typeText = TypeList()->currentText().toStdString();
    choice.bandText = BandList()->currentText().toStdString();
    const Image before = doc->State();
    const ProductOutcome outcome =
        ApplyProductChoice(choice, g_settingsFile().GetValue(g_strLanguage, "AppName", ""), doc->Image());
    view->SetLimits(outcome.limits);
    // The same path the view's own refresh takes to the main window title.
    emit view->titleChanged(QString::fromStdString(outcome.title));
    doc->RecordChange(EditKind::ProductInfo, before);
  }
  CSettingsDialog::accept();
}
