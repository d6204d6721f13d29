#pragma once
// Where an in-place editor goes: exactly over the current cell. The grid
// reports the cell's left, top, width and height in twips relative to the
// control; each becomes pixels with the screen's pixels per inch
// (horizontal for left and width, vertical for top and height), truncated
// toward zero. The cell's width and height include the grid line along its
// right and bottom edges; the editor leaves that line showing. The grid has
// no border of its own inside the reported position, so the editor starts
// exactly at the cell's left and top.
#include "grid/Twips.h"

namespace chanset {

struct EditorRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const EditorRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

constexpr EditorRect InPlaceEditorRect(int cellLeft, int cellTop, int cellWidth, int cellHeight, int dpiX,
                                       int dpiY, int gridLine) {
  const int width = TwipsToPixels(cellWidth, dpiX) - gridLine;
  const int height = TwipsToPixels(cellHeight, dpiY) - gridLine;
  return {TwipsToPixels(cellLeft, dpiX), TwipsToPixels(cellTop, dpiY), width > 0 ? width : 0,
          height > 0 ? height : 0};
}

}  // namespace chanset
