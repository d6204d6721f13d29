#include "link/PortErrorText.h"

#include <cerrno>

namespace chanset {

namespace {

struct DetailText {
  const char* english;
  const char* chinese;
};

// Each "%s" stands for the device path.
const DetailText* DetailFor(int code) {
  static const DetailText kNoPermission = {
      "No permission to use %s: the user must be a member of the dialout group "
      "(sudo usermod -aG dialout $USER, then log in again).",
      "没有权限使用 %s：用户须加入 dialout 组（sudo usermod -aG dialout $USER，然后重新登录）。"};
  static const DetailText kNoDevice = {
      "%s does not exist: the programming cable is not plugged in.",
      "%s 不存在：写频线没有插好。"};
  // ModemManager opens USB serial devices to look for modems, and a cable
  // it holds is "in use" although the user runs nothing on it.
  static const DetailText kBusy = {
      "%s is in use by another program: close that program and try again. If none of yours "
      "uses it, ModemManager may have taken the USB cable: \"fuser -v %s\" names the program; "
      "\"sudo systemctl stop ModemManager\" frees the cable, and a udev rule that sets "
      "ENV{ID_MM_DEVICE_IGNORE}=\"1\" for it keeps ModemManager away for good (see man chanset).",
      "%s 正被其他程序占用：请关闭该程序后再试。如果您没有运行占用它的程序，可能是 ModemManager "
      "占用了 USB 写频线：\"fuser -v %s\" 可查出占用的程序；\"sudo systemctl stop ModemManager\" "
      "可释放写频线；为该设备添加设置 ENV{ID_MM_DEVICE_IGNORE}=\"1\" 的 udev 规则，可让 "
      "ModemManager 不再占用它（见 man chanset）。"};
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
  for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + path.size()))
    text.replace(at, 2, path);
  return text;
}

}  // namespace chanset
