#pragma once
// Tiling of the workspace background: copies of the picture from the
// top-left corner, one more column and row than fit whole, so the area is
// always covered; no stretching or centring.
#include <vector>

namespace chanset {

struct TileOrigin {
  int x, y;
};

// Origins of the tiles of a bw x bh picture over a w x h area, column by
// column (i = 0..w/bw, j = 0..h/bh). Empty for a picture of no size.
std::vector<TileOrigin> TileOrigins(int w, int h, int bw, int bh);

}  // namespace chanset
