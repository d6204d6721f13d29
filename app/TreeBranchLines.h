#pragma once
// What the navigation tree draws left of an item: dotted connecting lines
// between an item, its parent and its siblings, and a small boxed plus or
// minus on an item that has children. One call per indentation cell of a
// row; the cell's flags say what passes through it.
#include <vector>

namespace chanset {

struct BranchCell {
  int left = 0, top = 0, width = 0, height = 0;
  bool item = false;      // the row's own cell (a line runs right to the item)
  bool sibling = false;   // a later sibling follows below: the line goes on down
  bool children = false;  // the item has children: draw its box
  bool open = false;      // its children are shown: minus, else plus
  bool above = true;      // a line comes in from above (false for the first top-level item)
};

// A filled rectangle; the dotted ones are 1 pixel wide or high.
struct BranchRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const BranchRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

struct BranchPicture {
  std::vector<BranchRect> dotted;  // connecting lines, drawn every other pixel
  bool hasBox = false;
  BranchRect box;                  // outline of the plus/minus box
  std::vector<BranchRect> sign;    // the minus stroke, and the plus's upright
};

constexpr int kBranchBoxSize = 9;

// The picture of one indentation cell. Lines meet at the cell's centre;
// where a box sits, they stop at its edges.
BranchPicture TreeBranchPicture(const BranchCell& cell);

}  // namespace chanset
