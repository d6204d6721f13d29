#include "link/PortErrorText.h"

#include <cerrno>

namespace chanset {

namespace {

struct DetailText {
  const char* english;
  const char* chinese;
};

// "%s" stands for the device path.
const DetailText* DetailFor(int code) {
  static const DetailText kNoPermission = {
      "No permission to use %s: the user must be a member of the dialout group "
      "(sudo usermod -aG dialout $USER, then log in again).",
      "没有权限使用 %s：用户须加入 dialout 组（sudo usermod -aG dialout $USER，然后重新登录）。"};
  static const DetailText kNoDevice = {
      "%s does not exist: the programming cable is not plugged in.",
      "%s 不存在：写频线没有插好。"};
  static const DetailText kBusy = {
      "%s is in use by another program: close that program and try again.",
      "%s 正被其他程序占用：请关闭该程序后再试。"};
  static const DetailText kNotSerial = {
      "%s is not a serial device: check which device the port is mapped to.",
      "%s 不是串口设备：请检查该串口对应的设备。"};
  static const DetailText kLost = {
      "The connection through %s was lost: check that the cable is still plugged in.",
      "经 %s 的连接已断开：请检查写频线是否仍然插好。"};
  switch (code) {
    case EACCES:
    case EPERM: return &kNoPermission;
    case ENOENT:
    case ENODEV:
    case ENXIO: return &kNoDevice;
    case EBUSY: return &kBusy;
    case ENOTTY: return &kNotSerial;
    case EIO: return &kLost;
    default: return nullptr;
  }
}

}  // namespace

std::string PortErrorDetail(int code, const std::string& path, bool chinese) {
  const DetailText* detail = DetailFor(code);
  if (!detail) return std::string();
  std::string text = chinese ? detail->chinese : detail->english;
  std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace chanset
