#include "tools/cli/TransferChecks.h"

#include "data/ImageDiff.h"
#include "data/Backups.h"

namespace cli {

BackupNote BackUpRead(const chanset::Image& image, const TransferOptions& options) {
  if (!options.backup) return {};
  chanset::BackupResult backup = chanset::StoreBackup(image, options.chinese);
  return {backup.path, backup.warning};
}

VerifyReport ReportReadBack(const chanset::ReadBackResult& back, const chanset::Image& sent, const std::string& path,
                            bool chinese, const chanset::CSettingsFile* names) {
  VerifyReport report;
  switch (back.end) {
    case chanset::VerifyEnd::Verified:
      report.verdict = chinese ? "校验通过：电台中的数据与写入的一致" : "verified: the radio holds what was written";
      break;
    case chanset::VerifyEnd::Differs:
      report.status = kExitVerifyDiffers;
      report.verdict = chinese ? "校验失败：电台中的数据与写入的不一致（写入 -> 读回）："
                               : "verify failed: the radio does not hold what was written (written -> read back):";
      report.differences = chanset::VerifyDifferences(sent, back.image, chinese, names);
      break;
    case chanset::VerifyEnd::NotVerified: {
      report.status = kExitNotVerified;
      std::string reason;
      if (back.message != 0) {
        reason = MessageWithReason(back.message, back.reason, path, chinese);
      } else {
        reason = chinese ? "读回已取消" : "the read-back was cancelled";
      }
      report.verdict = (chinese ? "已写入，但未校验：" : "written but not verified: ") + reason;
      break;
    }
  }
  return report;
}

}  // namespace cli
