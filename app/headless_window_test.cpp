// The headless window: start state, the waiting-event queue, message boxes
// and the end of the program.
#include "app/headless_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_ops.h"

namespace dsr {
namespace {

using testing::ElementsAre;

struct HeadlessWindowTest : testing::Test {
  void SetUp() override { UseWindowOperations(window.Operations()); }
  void TearDown() override { UseWindowOperations(WindowOperations{}); }
  HeadlessWindow window;
};

TEST_F(HeadlessWindowTest, StartsWithTheControlTable) {
  for (const ControlInfo& info : kControlTable) {
    EXPECT_EQ(window.TextOf(info.control), info.startText);
    EXPECT_EQ(window.VisibleOf(info.control), info.shown);
  }
  EXPECT_EQ(ReadEditText(Control::编辑框1), "");
  EXPECT_EQ(ReadEditText(Control::编辑框2), "4.99");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "");
  EXPECT_FALSE(window.VisibleOf(Control::标签20));

  SetLabelCaption(Control::标签5, "4.8分--");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "4.8分--");
  SetLabelCaption(Control::标签5, "");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "");
  SetLabelVisible(Control::标签20, true);
  EXPECT_TRUE(window.VisibleOf(Control::标签20));
}

TEST_F(HeadlessWindowTest, WaitingEventsRunInOrderIncludingOnesQueuedMeanwhile) {
  std::vector<std::string> ran;
  window.pendingEvents.push_back([&] {
    ran.push_back("a");
    window.pendingEvents.push_back([&] { ran.push_back("c"); });
  });
  window.pendingEvents.push_back([&] {
    ran.push_back("b");
    // A handler that lets events run itself takes the rest of the queue.
    RunPendingEvents();
    ran.push_back("b-end");
  });
  window.pendingEvents.push_back([&] { ran.push_back("d"); });

  RunPendingEvents();
  EXPECT_THAT(ran, ElementsAre("a", "b", "d", "c", "b-end"));
  EXPECT_TRUE(window.pendingEvents.empty());
  EXPECT_EQ(window.runPendingEventsCalls, 2);

  RunPendingEvents();  // nothing waiting
  EXPECT_EQ(ran.size(), 5u);
  EXPECT_EQ(window.runPendingEventsCalls, 3);
}

TEST_F(HeadlessWindowTest, MessageBoxReturnsAfterItsHook) {
  std::vector<std::string> hooked;
  window.onMessageBox = [&](std::string_view text) {
    hooked.emplace_back(text);
    window.TextOf(Control::编辑框1) = "typed while open";
  };
  ShowMessageBox("请先输入要查询的淘宝卖家帐号名称！");
  ShowMessageBox("");
  EXPECT_THAT(window.messages, ElementsAre("请先输入要查询的淘宝卖家帐号名称！", ""));
  EXPECT_EQ(hooked, window.messages);
  EXPECT_EQ(ReadEditText(Control::编辑框1), "typed while open");
  OpenAddress("http://bbs.example");
  EXPECT_THAT(window.openedAddresses, ElementsAre("http://bbs.example"));
}

TEST_F(HeadlessWindowTest, EndProgramThrowsAndLeavesLaterEventsWaiting) {
  bool later = false;
  window.pendingEvents.push_back([] { EndProgram(); });
  window.pendingEvents.push_back([&] { later = true; });
  EXPECT_THROW(RunPendingEvents(), ProgramEnded);
  EXPECT_TRUE(window.ended);
  EXPECT_FALSE(later);
  EXPECT_EQ(window.pendingEvents.size(), 1u);
}

// Unbinding leaves nothing of the window that was bound before: its texts are
// no longer read, and no call reaches it.
TEST(UnboundWindowOperations, ReadEmptyAndDoNothing) {
  HeadlessWindow window;
  window.TextOf(Control::编辑框2) = "4.99";
  window.TextOf(Control::标签5) = "kept";
  bool eventRan = false;
  window.pendingEvents.push_back([&] { eventRan = true; });
  UseWindowOperations(window.Operations());
  UseWindowOperations(WindowOperations{});
  const HeadlessWindow before = window;

  EXPECT_EQ(ReadEditText(Control::编辑框2), "");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "");
  EXPECT_EQ(ReadLabelCaption(Control::标签1), "");
  SetLabelCaption(Control::标签5, "x");
  SetLabelVisible(Control::标签20, true);
  ShowMessageBox("x");
  RunPendingEvents();
  OpenAddress("x");

  EXPECT_EQ(window.texts, before.texts);
  EXPECT_EQ(window.visible, before.visible);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_TRUE(window.openedAddresses.empty());
  EXPECT_EQ(window.runPendingEventsCalls, 0);
  EXPECT_FALSE(eventRan);
  EXPECT_EQ(window.pendingEvents.size(), 1u);
  EXPECT_FALSE(window.ended);
}

// With no window bound, the end of the program is still the end: exit code 0.
TEST(UnboundWindowOperationsDeathTest, EndProgramEndsTheProcessWithZero) {
  UseWindowOperations(WindowOperations{});
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(EndProgram(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace dsr
