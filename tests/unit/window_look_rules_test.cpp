// Rules behind the windows' look: the navigation tree's connecting lines,
// the lock-key panes, where an in-place editor goes, the fixed text colours
// on dark palettes, and which label of a dialog template names which field.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/LockPanes.h"
#include "app/TreeBranchLines.h"
#include "editor/EditorPlacement.h"
#include "platform/ControlLabels.h"
#include "platform/ReadableColour.h"

using namespace chanset;

namespace {

bool Covers(const std::vector<BranchRect>& rects, int x, int y) {
  return std::any_of(rects.begin(), rects.end(), [&](const BranchRect& r) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
  });
}

// Pixels covered more than once by the dotted lines.
int Overlaps(const BranchPicture& p, const BranchCell& c) {
  int overlaps = 0;
  for (int y = c.top; y < c.top + c.height; ++y)
    for (int x = c.left; x < c.left + c.width; ++x) {
      int n = 0;
      for (const BranchRect& r : p.dotted) n += x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
      overlaps += n > 1;
    }
  return overlaps;
}

}  // namespace

// A 20 x 18 cell at (40, 100): centre (50, 109).
struct BranchCase {
  const char* name;
  bool item, sibling, children, open, above;
  bool up, right, down;  // lines that reach the cell's top, right and bottom edges
  bool box, plus;
};

class TreeBranchTest : public ::testing::TestWithParam<BranchCase> {};

TEST_P(TreeBranchTest, LinesReachTheEdgesTheyShould) {
  const BranchCase& k = GetParam();
  BranchCell cell;
  cell.left = 40;
  cell.top = 100;
  cell.width = 20;
  cell.height = 18;
  cell.item = k.item;
  cell.sibling = k.sibling;
  cell.children = k.children;
  cell.open = k.open;
  cell.above = k.above;
  const BranchPicture p = TreeBranchPicture(cell);
  EXPECT_EQ(Covers(p.dotted, 50, 100), k.up) << k.name;
  EXPECT_EQ(Covers(p.dotted, 59, 109), k.right) << k.name;
  EXPECT_EQ(Covers(p.dotted, 50, 117), k.down) << k.name;
  EXPECT_EQ(p.hasBox, k.box) << k.name;
  EXPECT_EQ(Overlaps(p, cell), 0) << k.name;
  for (const BranchRect& r : p.dotted) {
    // One pixel thick, inside the cell.
    EXPECT_TRUE(r.width == 1 || r.height == 1) << k.name;
    EXPECT_GE(r.left, cell.left);
    EXPECT_GE(r.top, cell.top);
    EXPECT_LE(r.left + r.width, cell.left + cell.width);
    EXPECT_LE(r.top + r.height, cell.top + cell.height);
  }
  if (k.box) {
    // A 9-pixel box centred on the cell; no line enters it.
    EXPECT_EQ(p.box, (BranchRect{46, 105, kBranchBoxSize, kBranchBoxSize})) << k.name;
    for (int y = 105; y < 114; ++y)
      for (int x = 46; x < 55; ++x) EXPECT_FALSE(Covers(p.dotted, x, y)) << k.name << " " << x << "," << y;
    // The minus across the middle; a plus also has the upright.
    EXPECT_TRUE(Covers(p.sign, 48, 109) && Covers(p.sign, 52, 109)) << k.name;
    EXPECT_EQ(Covers(p.sign, 50, 107), k.plus) << k.name;
  } else {
    EXPECT_TRUE(p.sign.empty()) << k.name;
    // Lines that meet, meet at the centre.
    if (k.up && k.right) {
      EXPECT_TRUE(Covers(p.dotted, 50, 109) && Covers(p.dotted, 51, 109)) << k.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TreeBranchTest,
    ::testing::Values(
        //          name                       item   sib    child  open   above  up     right  down   box    plus
        BranchCase{"middle child",             true,  true,  false, false, true,  true,  true,  true,  false, false},
        BranchCase{"last child",               true,  false, false, false, true,  true,  true,  false, false, false},
        BranchCase{"line passing a deeper row", false, true, false, false, true,  true,  false, true,  false, false},
        BranchCase{"nothing passing",          false, false, false, false, true,  false, false, false, false, false},
        BranchCase{"first root, open",         true,  false, true,  true,  false, false, true,  false, true,  false},
        BranchCase{"first root, closed",       true,  false, true,  false, false, false, true,  false, true,  true},
        BranchCase{"closed parent between",    true,  true,  true,  false, true,  true,  true,  true,  true,  true},
        BranchCase{"open last parent",         true,  false, true,  true,  true,  true,  true,  false, true,  false}),
    [](const ::testing::TestParamInfo<BranchCase>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(TreeBranch, EmptyCellDrawsNothing) {
  BranchCell cell;
  cell.item = cell.sibling = cell.children = true;
  const BranchPicture p = TreeBranchPicture(cell);
  EXPECT_TRUE(p.dotted.empty());
  EXPECT_FALSE(p.hasBox);
}

TEST(LockPanes, UnknownIsGreyKnownIsLitOrBlank) {
  EXPECT_EQ(LockPaneLook(std::nullopt, LockPane::Caps), PaneLook::Grey);
  EXPECT_EQ(LockPaneLook(std::nullopt, LockPane::Num), PaneLook::Grey);
  EXPECT_EQ(LockPaneLook(std::nullopt, LockPane::Scroll), PaneLook::Grey);
  // Each pane follows its own key only.
  const struct {
    LockKeys keys;
    PaneLook caps, num, scroll;
  } cases[] = {
      {{false, false, false}, PaneLook::Blank, PaneLook::Blank, PaneLook::Blank},
      {{true, false, false}, PaneLook::Lit, PaneLook::Blank, PaneLook::Blank},
      {{false, true, false}, PaneLook::Blank, PaneLook::Lit, PaneLook::Blank},
      {{false, false, true}, PaneLook::Blank, PaneLook::Blank, PaneLook::Lit},
      {{true, true, true}, PaneLook::Lit, PaneLook::Lit, PaneLook::Lit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LockPaneLook(c.keys, LockPane::Caps), c.caps);
    EXPECT_EQ(LockPaneLook(c.keys, LockPane::Num), c.num);
    EXPECT_EQ(LockPaneLook(c.keys, LockPane::Scroll), c.scroll);
  }
}

// The editor covers exactly the pixels of the cell the grid reports in
// twips, at any screen resolution, less the grid line along the cell's
// right and bottom edges.
TEST(InPlaceEditor, SitsExactlyOverTheCell) {
  const struct {
    int dpiX, dpiY, line;
    EditorRect cell;    // in pixels, grid line included
    EditorRect editor;
  } cases[] = {
      {96, 96, 1, {41, 23, 82, 22}, {41, 23, 81, 21}},  // row 1, column 1: just below the header
      {96, 96, 0, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {120, 144, 1, {533, 371, 66, 23}, {533, 371, 65, 22}},
      {101, 73, 1, {7, 1, 3, 1}, {7, 1, 2, 0}},
      {96, 96, 1, {5, 5, 0, 0}, {5, 5, 0, 0}},
  };
  for (const auto& c : cases) {
    const EditorRect r = InPlaceEditorRect(PixelsToTwips(c.cell.left, c.dpiX), PixelsToTwips(c.cell.top, c.dpiY),
                                           PixelsToTwips(c.cell.width, c.dpiX), PixelsToTwips(c.cell.height, c.dpiY),
                                           c.dpiX, c.dpiY, c.line);
    EXPECT_EQ(r, c.editor) << c.dpiX << "x" << c.dpiY;
  }
}

// The fixed colours stay exactly as designed on a light window colour; on
// a dark one each is readable (4.5:1) on its background, of the same hue,
// and unchanged where it already was readable.
TEST(ReadableColour, SameOnLightReadableOnDark) {
  const Rgb blue{0, 50, 240}, red{170, 0, 0}, light{239, 239, 239}, dark{53, 53, 53}, white{255, 255, 255};
  const struct {
    Rgb fixed, background, window;
    bool same;
  } cases[] = {
      {blue, light, light, true},      {red, white, light, true},        {blue, dark, dark, false},
      {red, {0, 0, 0}, dark, false},   {{90, 90, 90}, dark, dark, false}, {{255, 200, 0}, dark, dark, true},
      {blue, white, dark, true},       {{200, 210, 255}, white, dark, false},
  };
  for (const auto& c : cases) {
    const Rgb shown = ReadableColour(c.fixed, c.background, c.window);
    EXPECT_EQ(shown == c.fixed, c.same) << c.fixed.r << "," << c.fixed.g << "," << c.fixed.b;
    EXPECT_TRUE(c.same || ContrastRatio(shown, c.background) >= kReadableContrast);
    // Same hue: the order of the three channels is kept.
    EXPECT_EQ(shown.r >= shown.g, c.fixed.r >= c.fixed.g);
    EXPECT_EQ(shown.g >= shown.b, c.fixed.g >= c.fixed.b);
  }
  EXPECT_NEAR(ContrastRatio({0, 0, 0}, white), 21.0, 1e-9);
}

// A label names the field on its row that starts just right of it; one
// label names one field; a label elsewhere names nothing.
TEST(ControlLabels, LabelBesideItsField) {
  auto label = [](int x, int y, int w) { return LabelBox{x, y, w, 12, true, false}; };
  auto field = [](int x, int y) { return LabelBox{x, y, 65, 12, false, true}; };
  const struct {
    std::vector<LabelBox> boxes;
    std::vector<int> labels;
  } cases[] = {
      {{label(37, 11, 42), label(38, 26, 41), field(87, 11), field(87, 26), label(190, 11, 18), field(216, 11)},
       {-1, -1, 0, 1, -1, 4}},
      {{label(39, 28, 20), field(69, 27)}, {-1, 0}},                       // a unit lower
      {{label(37, 30, 42), field(87, 11)}, {-1, -1}},                      // another row
      {{label(10, 11, 42), field(87, 11)}, {-1, -1}},                      // too far
      {{field(87, 11), label(160, 11, 42)}, {-1, -1}},                     // right of it
      {{label(80, 11, 42), field(87, 11)}, {-1, -1}},                      // overlapping
      {{label(20, 11, 30), label(52, 11, 30), field(87, 11)}, {-1, -1, 1}},  // the nearer
      {{label(37, 11, 42), field(87, 11), field(160, 11)}, {-1, 0, -1}},   // one field only
  };
  for (const auto& c : cases) EXPECT_EQ(LabelsOfFields(c.boxes), c.labels);
}
