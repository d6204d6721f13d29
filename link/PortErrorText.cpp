#include "link/PortErrorText.h"

#include <cerrno>

#include "platform/PackStrings.h"
#include "platform/ResourceIds.h"

namespace chanset {

PortDetail PortErrorDetailOf(const SystemError& reason, const std::string& path) {
  const PortHolder& holder = reason.holder;
  switch (reason.code) {
    case EACCES:
    case EPERM:
      return {ids::kPortNoPermission, {path}};
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return {ids::kPortAbsent, {path}};
    case EBUSY: {
      if (holder.pid == 0) return {ids::kPortBusy, {path}};
      std::vector<std::string> args = {path, holder.command.empty() ? "?" : holder.command,
                                       std::to_string(holder.pid)};
      if (reason.lockFile.empty()) return {ids::kPortBusyBy, args};
      args.push_back(reason.lockFile);
      return {ids::kPortLockedBy, args};
    }
    case ENOTTY:
      return {reason.terminal ? ids::kPortIsTerminal : ids::kPortNotSerial, {path}};
    case EIO:
      return {ids::kPortLost, {path}};
    default:
      return {};
  }
}

std::string PortErrorDetail(const SystemError& reason, const std::string& path, bool chinese) {
  const PortDetail detail = PortErrorDetailOf(reason, path);
  return detail.id == 0 ? std::string() : FillText(PackString(detail.id, chinese), detail.args);
}

}  // namespace chanset
