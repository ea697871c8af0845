// 按钮3's handler opens the forum's home page on every press and leaves the
// window as it was.
#include "app/open_maker_site.h"

#include <gtest/gtest.h>

#include <string>

#include "app/addresses.h"
#include "app/headless_window.h"

namespace dsr {
namespace {

TEST(OpenMakerSite, OpensTheForumHomePageEachPressAndChangesNothing) {
  HeadlessWindow window;
  UseWindowOperations(window.Operations());
  const HeadlessWindow before = window;

  OpenMakerSite();
  OpenMakerSite();

  const std::string home = "http://" + std::string(kMakerForumHost);
  EXPECT_EQ(window.openedAddresses, (std::vector<Text>{home, home}));
  EXPECT_EQ(window.texts, before.texts);
  EXPECT_EQ(window.visible, before.visible);
  EXPECT_TRUE(window.messages.empty());
  UseWindowOperations(WindowOperations());
}

}  // namespace
}  // namespace dsr
