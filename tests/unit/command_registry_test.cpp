// The command table's rules: when a command may run, what it runs, its
// check mark and its run-time text.
#include <gtest/gtest.h>

#include <vector>

#include "platform/CommandRegistry.h"

using chanset::Command;
using chanset::CommandNeeds;
using chanset::CommandRegistry;

namespace {

constexpr int kId = 32800;

struct EnabledCase {
  const char* name;
  bool registered;
  CommandNeeds needs;
  bool haveDocument;
  bool haveView;
  bool locked;
  bool predicate;  // the command's own "enabled" answer
  bool expected;
};

const EnabledCase kEnabledCases[] = {
    {"plain", true, CommandNeeds::Nothing, false, false, false, true, true},
    {"unregistered", false, CommandNeeds::Nothing, true, true, false, true, false},
    {"locked", true, CommandNeeds::Nothing, true, true, true, true, false},
    {"predicate says no", true, CommandNeeds::Nothing, true, true, false, false, false},
    {"document there", true, CommandNeeds::Document, true, false, false, true, true},
    {"document missing", true, CommandNeeds::Document, false, false, false, true, false},
    {"view there", true, CommandNeeds::View, true, true, false, true, true},
    {"view missing", true, CommandNeeds::View, true, false, false, true, false},
    {"view there but locked", true, CommandNeeds::View, true, true, true, true, false},
    {"view there, predicate no", true, CommandNeeds::View, true, true, false, false, false},
};

class EnabledRules : public testing::TestWithParam<EnabledCase> {};

TEST_P(EnabledRules, DecideWhetherTheCommandRuns) {
  const EnabledCase& c = GetParam();
  CommandRegistry registry;
  registry.SetAvailability([&](CommandNeeds needs) {
    return needs == CommandNeeds::Document ? c.haveDocument : needs == CommandNeeds::View ? c.haveView : true;
  });
  registry.SetLock([&](int id) { return c.locked && id == kId; });
  int ran = 0;
  if (c.registered)
    registry.Add(kId, Command([&] { ++ran; }).Needs(c.needs).Enabled([&] { return c.predicate; }));
  EXPECT_EQ(registry.IsEnabled(kId), c.expected);
  EXPECT_EQ(registry.Run(kId), c.expected);
  EXPECT_EQ(ran, c.expected ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, EnabledRules, testing::ValuesIn(kEnabledCases),
                         [](const testing::TestParamInfo<EnabledCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(CommandRegistry, TheLockAsksForEachCommandById) {
  CommandRegistry registry;
  registry.SetLock([](int id) { return id == 1; });
  registry.Add(1, Command([] {}));
  registry.Add(2, Command([] {}));
  EXPECT_FALSE(registry.IsEnabled(1));
  EXPECT_TRUE(registry.IsEnabled(2));
}

TEST(CommandRegistry, EachIdRunsItsOwnHandlerAndReplacingTakesOver) {
  CommandRegistry registry;
  std::vector<int> log;
  registry.Add(1, Command([&] { log.push_back(1); }));
  registry.Add(2, Command([&] { log.push_back(2); }));
  registry.Run(2);
  registry.Run(1);
  registry.Add(1, Command([&] { log.push_back(10); }));
  registry.Run(1);
  EXPECT_EQ(log, (std::vector<int>{2, 1, 10}));
}

TEST(CommandRegistry, AnEmptyHandlerRemovesTheCommand) {
  CommandRegistry registry;
  registry.Add(1, Command([] {}));
  registry.Add(1, Command());
  EXPECT_FALSE(registry.Has(1));
  EXPECT_FALSE(registry.Run(1));
}

TEST(CommandRegistry, AHandlerMayRemoveOrReplaceItsOwnCommand) {
  CommandRegistry registry;
  int ran = 0;
  registry.Add(1, Command([&] {
    registry.Remove(1);
    ++ran;  // still running after its own function object was dropped
  }));
  EXPECT_TRUE(registry.Run(1));
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(registry.Run(1));
}

TEST(CommandRegistry, CheckMarkFollowsThePredicate) {
  CommandRegistry registry;
  bool on = false;
  registry.Add(1, Command([&] { on = !on; }).Checked([&] { return on; }));
  registry.Add(2, Command([] {}));
  EXPECT_TRUE(registry.IsCheckable(1));
  EXPECT_FALSE(registry.IsCheckable(2));
  EXPECT_FALSE(registry.IsCheckable(3));
  EXPECT_FALSE(registry.IsChecked(1));
  registry.Run(1);
  EXPECT_TRUE(registry.IsChecked(1));
  registry.Run(1);
  EXPECT_FALSE(registry.IsChecked(1));
  EXPECT_FALSE(registry.IsChecked(2));
}

TEST(CommandRegistry, ObserverHearsOfAdditionsRemovalsAndRenames) {
  CommandRegistry registry;
  std::vector<int> heard;
  registry.SetObserver([&](int id) { heard.push_back(id); });
  registry.Add(1, Command([] {}));
  registry.Remove(2);  // nothing to remove: no news
  registry.SetText(1, "&Undo Rx Frequency");
  registry.SetText(1, "&Undo Rx Frequency");  // same text: no news
  registry.SetText(3, "");                     // already the pack's: no news
  registry.Remove(1);
  EXPECT_EQ(heard, (std::vector<int>{1, 1, 1}));
}

TEST(CommandRegistry, RunTimeTextReplacesAndEmptyRestores) {
  CommandRegistry registry;
  EXPECT_EQ(registry.Text(7), "");
  registry.SetText(7, "&Redo Tx Frequency");
  EXPECT_EQ(registry.Text(7), "&Redo Tx Frequency");
  // The text belongs to the id, not to one registration.
  registry.Add(7, Command([] {}));
  registry.Remove(7);
  EXPECT_EQ(registry.Text(7), "&Redo Tx Frequency");
  registry.SetText(7, "");
  EXPECT_EQ(registry.Text(7), "");
}

}  // namespace
