#pragma once
// What OK in the Product Information dialog does to the data: the chosen
// type and band go into image bytes 0x32E/0x32F and into the registry, and
// the band gives the new window title, frequency limits and power rows.
#include <string>

#include "data/MemoryImage.h"
#include "data/RadioBands.h"

namespace chanset {

struct ProductChoice {
  int typePosition = -1;  // position in the type list, -1 when none is selected
  int bandPosition = -1;  // position in that type's band list, -1 when none
  std::string typeText;   // the lists' visible texts
  std::string bandText;
};

struct ProductOutcome {
  std::string title;  // the main window title, always with the English labels
  BandLimits limits;  // the channel view's new limits
};

// Stores the choice into `image` (positions as bytes, -1 as 0xFF) and the
// registry (as 32-bit values), sets the power-row globals and g_strTitle,
// and returns what the view and the main window need. `appName` is the
// [<language>] "AppName" text.
ProductOutcome ApplyProductChoice(const ProductChoice& choice, const std::string& appName, Image& image);

}  // namespace chanset
