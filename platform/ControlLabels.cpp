#include "platform/ControlLabels.h"

#include <cstdlib>

namespace chanset {

namespace {
constexpr int kRowSlack = 4;   // tops this close sit on one row
constexpr int kMaxGap = 16;    // room between a label and its field
}  // namespace

std::vector<int> LabelsOfFields(const std::vector<LabelBox>& boxes) {
  std::vector<int> labelOf(boxes.size(), -1);
  std::vector<bool> used(boxes.size(), false);
  for (std::size_t f = 0; f < boxes.size(); ++f) {
    const LabelBox& field = boxes[f];
    if (!field.field) continue;
    int best = -1, bestGap = kMaxGap + 1;
    for (std::size_t l = 0; l < boxes.size(); ++l) {
      const LabelBox& label = boxes[l];
      if (!label.label || used[l] || std::abs(label.y - field.y) > kRowSlack) continue;
      const int gap = field.x - (label.x + label.width);
      if (gap >= 0 && gap < bestGap) {
        best = static_cast<int>(l);
        bestGap = gap;
      }
    }
    if (best >= 0) {
      labelOf[f] = best;
      used[static_cast<std::size_t>(best)] = true;
    }
  }
  return labelOf;
}

}  // namespace chanset
