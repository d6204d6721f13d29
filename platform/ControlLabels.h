#pragma once
// Which static text of a dialog template labels which control. Templates
// place a label on the same row as its field, just to its left, without
// saying that it belongs to it; the dialog builder binds each pair so that
// screen readers name the field after the text the user sees beside it.
#include <vector>

namespace chanset {

struct LabelBox {
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  bool label = false;  // a static text that can name a control
  bool field = false;  // a control that takes a value and is named by a label
};

// A label belongs to a field when its top is within 4 units of the field's
// top and its right edge ends at most 16 units before the field's left edge
// (never inside the field); of several, the nearest. Each label names one
// field at most. Returns, for each box, the index of its label, or -1.
std::vector<int> LabelsOfFields(const std::vector<LabelBox>& boxes);

}  // namespace chanset
