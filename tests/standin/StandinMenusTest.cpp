#include "standin/StandinMenus.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/PluginIf.h"

namespace {

std::vector<int32_t> gMessages;
int32_t gEnabled = 1;

int32_t command(int32_t message, uintptr_t, intptr_t lParam) {
  gMessages.push_back(message);
  if (message == kMenuQueryEnabled) *reinterpret_cast<int32_t*>(lParam) = gEnabled;
  return 0;
}

class StandinMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::resetMenus();
    gMessages.clear();
    gEnabled = 1;
  }
  void TearDown() override { standin::resetMenus(); }
};

TEST_F(StandinMenusTest, PopupsKeepTheirCommandsInOrder) {
  uint32_t a = VPI_AddPopupMenu(5, 16, "Tools", 1);
  uint32_t b = VPI_AddPopupMenu(5, 48, "Tools", 1);
  uint32_t x = VPI_AddChildMenu(5, a, "first", command);
  uint32_t y = VPI_AddChildMenu(5, a, "second", command);
  uint32_t z = VPI_AddChildMenu(5, b, "first", command);
  EXPECT_EQ(VPI_AddChildMenu(5, 999, "lost", command), 0u);
  EXPECT_EQ(VPI_AddChildMenu(6, a, "other plug-in", command), 0u);
  EXPECT_EQ(VPI_AddChildMenu(5, a, "no callback", nullptr), 0u);
  const auto& m = standin::menus();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].position, 16);
  EXPECT_EQ(m[1].position, 48);
  ASSERT_EQ(m[0].commands.size(), 2u);
  EXPECT_EQ(m[0].commands[0].title, "first");
  EXPECT_EQ(m[0].commands[1].title, "second");
  EXPECT_EQ(standin::findMenuCommand("Tools", "first"), x);
  EXPECT_EQ(standin::findMenuCommand("Tools", "first", 48), z);
  EXPECT_EQ(standin::findMenuCommand("Tools", "second", 48), 0u);
  EXPECT_NE(x, y);
  EXPECT_TRUE(gMessages.empty());
}

TEST_F(StandinMenusTest, CommandRunsOnlyWhenItSaysItIsEnabled) {
  uint32_t popup = VPI_AddPopupMenu(5, 16, "Tools", 1);
  uint32_t id = VPI_AddChildMenu(5, popup, "run", command);
  EXPECT_EQ(standin::invokeMenuCommand(id), standin::MenuResult::kRan);
  EXPECT_EQ(gMessages, (std::vector<int32_t>{kMenuQueryEnabled, kMenuRunCommand}));
  gMessages.clear();
  gEnabled = 0;
  EXPECT_EQ(standin::invokeMenuCommand(id), standin::MenuResult::kDisabled);
  EXPECT_EQ(gMessages, (std::vector<int32_t>{kMenuQueryEnabled}));
  EXPECT_EQ(standin::invokeMenuCommand(popup), standin::MenuResult::kUnknown);
}

}  // namespace
