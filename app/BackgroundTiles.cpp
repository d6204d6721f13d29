#include "app/BackgroundTiles.h"

namespace chanset {

std::vector<TileOrigin> TileOrigins(int w, int h, int bw, int bh) {
  std::vector<TileOrigin> origins;
  if (bw <= 0 || bh <= 0 || w < 0 || h < 0) return origins;
  for (int i = 0; i <= w / bw; ++i)
    for (int j = 0; j <= h / bh; ++j) origins.push_back({i * bw, j * bh});
  return origins;
}

}  // namespace chanset
