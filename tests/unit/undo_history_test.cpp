#include <gtest/gtest.h>

#include <string>

#include "data/UndoHistory.h"

using namespace chanset;

namespace {

// A sequence of operations on a document whose image is told apart by its
// first byte: 'e' edits (the byte becomes the next free number), 'u' undo,
// 'r' redo, 's' save, 'n' a change that changes nothing, 'c' clear (load).
// After the whole sequence the document shows `byte`, is (not) modified and
// can (not) undo / redo.
struct Sequence {
  const char* ops;
  std::size_t limit;
  int byte;
  bool modified;
  bool canUndo;
  bool canRedo;
};

class UndoSequences : public ::testing::TestWithParam<Sequence> {};

TEST_P(UndoSequences, ImageAndModifiedFlagFollowTheHistory) {
  const Sequence& s = GetParam();
  UndoHistory history(s.limit);
  Image image{};
  int next = 1;
  for (const char* op = s.ops; *op; ++op) {
    switch (*op) {
      case 'e': {
        const Image before = image;
        image[0] = static_cast<std::uint8_t>(next++);
        ASSERT_TRUE(history.Record(EditKind::RxFrequency, before, image));
        break;
      }
      case 'n':
        ASSERT_FALSE(history.Record(EditKind::Paste, image, image));
        break;
      case 'u':
      case 'r': {
        const Image* restored = *op == 'u' ? history.Undo() : history.Redo();
        if (restored) image = *restored;
        break;
      }
      case 's': history.MarkSaved(); break;
      case 'c': history.Clear(); break;
    }
  }
  EXPECT_EQ(image[0], s.byte);
  EXPECT_EQ(history.IsModified(), s.modified);
  EXPECT_EQ(history.CanUndo(), s.canUndo);
  EXPECT_EQ(history.CanRedo(), s.canRedo);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UndoSequences,
    ::testing::Values(
        Sequence{"", 10, 0, false, false, false},
        Sequence{"e", 10, 1, true, true, false},
        Sequence{"eeuu", 10, 0, false, false, true},        // back at the saved (new) state
        Sequence{"eeuur", 10, 1, true, true, true},
        Sequence{"eeuuuuu", 10, 0, false, false, true},     // extra undos do nothing
        Sequence{"eesu", 10, 1, true, true, true},          // undo past a save is a change
        Sequence{"eesur", 10, 2, false, true, false},       // redo back to the saved state
        Sequence{"eesuue", 10, 3, true, true, false},
        Sequence{"eesuueu", 10, 0, true, false, true},      // the saved state was redone away:
        Sequence{"eesuueuur", 10, 3, true, true, false},    // no path reaches it any more
        Sequence{"eesuueuurrs", 10, 3, false, true, false},  // until the next save
        Sequence{"esnn", 10, 1, false, true, false},        // no-op changes are no steps
        Sequence{"eeee", 2, 4, true, true, false},
        Sequence{"eeeeuuuu", 2, 2, true, false, true},      // only two steps kept
        Sequence{"seeeuuu", 2, 1, true, false, true},       // the saved state fell off the end
        Sequence{"eesec", 10, 3, false, false, false},      // a load starts a new history
        Sequence{"eeuse", 10, 3, true, true, false},
        Sequence{"eeuseu", 10, 1, false, true, true}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(UndoHistory, StepsKeepTheirKindsAndWholeImages) {
  UndoHistory history;
  Image a{}, b{}, c{};
  b[1023] = 7;
  c[0x17E] = 1;
  history.Record(EditKind::Paste, a, b);
  history.Record(EditKind::Move, b, c);
  EXPECT_EQ(history.UndoKind(), EditKind::Move);
  EXPECT_EQ(*history.Undo(), b);
  EXPECT_EQ(history.UndoKind(), EditKind::Paste);
  EXPECT_EQ(history.RedoKind(), EditKind::Move);
  EXPECT_EQ(*history.Undo(), a);
  EXPECT_EQ(*history.Redo(), b);
  EXPECT_EQ(*history.Redo(), c);
  EXPECT_EQ(history.Redo(), nullptr);
}

TEST(UndoHistory, CellColumnsNameTheirKinds) {
  EXPECT_EQ(CellEditKind(1), EditKind::RxFrequency);
  EXPECT_EQ(CellEditKind(4), EditKind::EncTone);
  EXPECT_EQ(CellEditKind(8), EditKind::Power);
}

}  // namespace
