#include "dialogs/ProductInfo.h"

#include <cstdint>

#include "platform/Globals.h"

namespace chanset {

ProductOutcome ApplyProductChoice(const ProductChoice& choice, const std::string& appName, Image& image) {
  ProductOutcome outcome;
  const auto type = static_cast<std::uint8_t>(choice.typePosition);
  const auto band = static_cast<std::uint8_t>(choice.bandPosition);
  image[off::kRadioType] = type;
  image[off::kBand] = band;

  // This title carries the English labels in either language.
  g_strTitle = WindowTitle(appName, choice.typeText, choice.bandText, false);
  outcome.title = g_strTitle;
  outcome.limits = DeriveBandLimits(choice.bandText);
  WriteTypeAndBand(static_cast<std::uint32_t>(choice.typePosition),
                   static_cast<std::uint32_t>(choice.bandPosition));
  return outcome;
}

}  // namespace chanset
