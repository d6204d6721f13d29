#include "app/TreeBranchLines.h"

namespace chanset {

BranchPicture TreeBranchPicture(const BranchCell& cell) {
  BranchPicture picture;
  if (cell.width <= 0 || cell.height <= 0) return picture;
  const int midX = cell.left + cell.width / 2;
  const int midY = cell.top + cell.height / 2;
  const int right = cell.left + cell.width;   // one past the last column
  const int bottom = cell.top + cell.height;  // one past the last row
  // Where the lines stop: the box's edges; without a box the line from above
  // takes the centre pixel, and the others start next to it.
  int boxTop = midY + 1, boxRight = midX + 1, boxBottom = midY + 1;
  if (cell.children) {
    const int half = kBranchBoxSize / 2;
    picture.hasBox = true;
    picture.box = {midX - half, midY - half, kBranchBoxSize, kBranchBoxSize};
    boxTop = picture.box.top;
    boxRight = picture.box.left + kBranchBoxSize;
    boxBottom = boxTop + kBranchBoxSize;
    picture.sign.push_back({picture.box.left + 2, midY, kBranchBoxSize - 4, 1});
    if (!cell.open) picture.sign.push_back({midX, boxTop + 2, 1, kBranchBoxSize - 4});
  }
  // Up to the row above: from an earlier sibling or the parent.
  if (cell.above && (cell.item || cell.sibling) && boxTop > cell.top)
    picture.dotted.push_back({midX, cell.top, 1, boxTop - cell.top});
  // Right, to the item's text.
  if (cell.item && right > boxRight) picture.dotted.push_back({boxRight, midY, right - boxRight, 1});
  // Down, on to a later sibling.
  if (cell.sibling && bottom > boxBottom) picture.dotted.push_back({midX, boxBottom, 1, bottom - boxBottom});
  return picture;
}

}  // namespace chanset
