#pragma once
#include "data/MemoryImage.h"

namespace radiosim {

// A new image holding a few programmed UHF channels, radio type 0, band 0:
// what the simulated radio holds when no image file is given.
chanset::Image SampleImage();

}  // namespace radiosim
