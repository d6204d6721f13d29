#pragma once
// A grid's cell texts through the core's CellTexts, as the channel encoder
// and the report layout read them. Refers to the grid; does not own it.
#include <string>

#include "data/ChannelCodec.h"
#include "grid/CMSFlexGrid.h"

class CGridTexts : public chanset::CellTexts {
 public:
  explicit CGridTexts(const CMSFlexGrid& grid) : m_grid(grid) {}
  std::string Text(int row, int col) const override { return m_grid.GetTextMatrix(row, col).toStdString(); }

 private:
  const CMSFlexGrid& m_grid;
};
