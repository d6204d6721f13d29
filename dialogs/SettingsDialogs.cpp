#include "dialogs/SettingsDialogs.h"

#include "platform/CCommandHost.h"
#include "dialogs/COptionalFeaturesDlg.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "dialogs/CProductInfoDlg.h"
#include "data/RadioBands.h"
#include "platform/ResourceIds.h"

namespace {
constexpr int kPowerGridCols = 4;  // label column + low, middle, high
}

void InstallSettingsDialogs(CCommandHost* host) {
  if (!host) return;
  auto* optional = new COptionalFeaturesDlg(host);
  auto* product = new CProductInfoDlg(host);
  auto* power = new CPowerAdjustDlg(host);
  optional->setObjectName(QStringLiteral("optionalFeaturesDlg"));
  product->setObjectName(QStringLiteral("productInfoDlg"));
  power->setObjectName(QStringLiteral("powerAdjustDlg"));
  using chanset::Command;
  host->AddCommand(ids::kOptionalFeatures, Command([optional] { optional->DoModal(); }));
  host->AddCommand(ids::kProductInfo, Command([product] { product->DoModal(); }));
  host->AddCommand(ids::kPowerAdjustment, Command([power] {
                     power->SetRowCount(chanset::g_nPowerRows + 1);
                     power->SetColCount(kPowerGridCols);
                     power->DoModal();
                   }));
}
