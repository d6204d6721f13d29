#pragma once
// The navigation tree's texts and what selecting an item does. The text of
// the item under the pointer decides, compared exactly with the four texts
// of the running language in a fixed order; the first match wins.
#include <array>
#include <string>

namespace chanset {

enum class TreeAction { None, ChannelInformation, OptionalFeatures, ProductInformation, PowerAdjustment };

// The three children, in tree order: Product Information, Channel
// Information, Optional Features.
std::array<const char*, 3> TreeChildTexts(bool chinese);

TreeAction TreeDispatch(const std::string& itemText, bool chinese);

}  // namespace chanset
