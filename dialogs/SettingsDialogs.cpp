#include "dialogs/SettingsDialogs.h"

#include "app/CMainFrame.h"
#include "dialogs/COptionalFeaturesDlg.h"
#include "dialogs/CPowerAdjustDlg.h"
#include "dialogs/CProductInfoDlg.h"
#include "dialogs/RadioBands.h"
#include "platform/ResourceIds.h"

namespace {
constexpr int kPowerGridCols = 4;  // label column + low, middle, high
}

void InstallSettingsDialogs(CMainFrame* frame) {
  if (!frame) return;
  auto* optional = new COptionalFeaturesDlg(frame);
  auto* product = new CProductInfoDlg(frame);
  auto* power = new CPowerAdjustDlg(frame);
  optional->setObjectName(QStringLiteral("optionalFeaturesDlg"));
  product->setObjectName(QStringLiteral("productInfoDlg"));
  power->setObjectName(QStringLiteral("powerAdjustDlg"));
  frame->SetCommandHandler(ids::kOptionalFeatures, [optional] { optional->DoModal(); });
  frame->SetCommandHandler(ids::kProductInfo, [product] { product->DoModal(); });
  frame->SetPowerAdjustmentHandler([power] {
    power->SetRowCount(chanset::g_nPowerRows + 1);
    power->SetColCount(kPowerGridCols);
    power->DoModal();
  });
}
