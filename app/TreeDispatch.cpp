#include "app/TreeDispatch.h"

namespace chanset {

std::array<const char*, 3> TreeChildTexts(bool chinese) {
  if (chinese) return {"类型设置", "信道信息", "可选功能"};
  return {"Product Information", "Channel Information", "Optional Features"};
}

TreeAction TreeDispatch(const std::string& itemText, bool chinese) {
  struct Entry {
    const char* english;
    const char* chinese;
    TreeAction action;
  };
  static const Entry kOrder[] = {
      {"Channel Information", "信道信息", TreeAction::ChannelInformation},
      {"Optional Features", "可选功能", TreeAction::OptionalFeatures},
      {"Product Information", "类型设置", TreeAction::ProductInformation},
      {"Power Adjustment", "功率调整", TreeAction::PowerAdjustment},
  };
  for (const Entry& e : kOrder)
    if (itemText == (chinese ? e.chinese : e.english)) return e.action;
  return TreeAction::None;
}

}  // namespace chanset
