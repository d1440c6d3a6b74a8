// morvane-host's progress bar at a terminal, fed by a real progress dialog
// on the headless backend: what a person sees on the line, step by step.

#include "tools/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/MessageBox.h"
#include "platform/Sjis.h"
#include "tests/TestHost.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

std::string bar(const std::string& label, int filled, const char* figure) {
  return label + " [" + std::string(filled, '#') +
         std::string(24 - filled, ' ') + "] " + figure;
}

class ProgressLineTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    out_ = std::tmpfile();
    ASSERT_NE(out_, nullptr);
    line_ = new ProgressLine(out_);
    headless::setObserver(line_);
  }
  void TearDown() override {
    headless::setObserver(nullptr);
    delete line_;
    std::fclose(out_);
    TestHost::TearDown();
  }
  std::string written() {
    std::fflush(out_);
    std::rewind(out_);
    std::string text;
    for (int c; (c = std::fgetc(out_)) != EOF;) text += static_cast<char>(c);
    return text;
  }

  std::FILE* out_ = nullptr;
  ProgressLine* line_ = nullptr;
};

TEST_F(ProgressLineTest, BarIsRewrittenInPlaceAndEndedOnce) {
  const std::string name = utf8ToSjis("国土 roads");
  {
    ProgressDialog dialog;
    ASSERT_TRUE(dialog.create(nullptr));
    dialog.setLabel(name.c_str());
    dialog.setPosition(5);
    dialog.setPosition(5);  // where it stands: no new line
    dialog.setPosition(50);
    dialog.destroyWindow();
  }
  const std::string label = "国土 roads";
  EXPECT_EQ(written(), "\r" + bar("", 0, "  0%") + "\r" +
                           bar(label, 1, "  5%") + "\r" +
                           bar(label, 12, " 50%") + "\n");
}

TEST_F(ProgressLineTest, EndsAtOneHundredAndBeforeAMessage) {
  {
    ProgressDialog dialog;
    ASSERT_TRUE(dialog.create(nullptr));
    dialog.setLabel("a");
    dialog.setPosition(100);
    dialog.destroyWindow();  // already ended: no second newline
  }
  {
    ProgressDialog dialog;
    ASSERT_TRUE(dialog.create(nullptr));
    dialog.setLabel("b");
    dialog.setPosition(30);
    headless::setEcho(false);
    showMessageBox("x", MessageIcon::kExclamation);
    dialog.setPosition(30);
  }
  EXPECT_EQ(written(), "\r" + bar("", 0, "  0%") + "\r" +
                           bar("a", 24, "100%") + "\n\r" + bar("", 0, "  0%") +
                           "\r" + bar("b", 7, " 30%") + "\n");
}

TEST(ProgressLineFormat, PercentagesOutsideTheRangeFillTheBarToItsEnds) {
  EXPECT_EQ(ProgressLine::format("x", -3), bar("x", 0, "  0%"));
  EXPECT_EQ(ProgressLine::format("x", 250), bar("x", 24, "100%"));
}

}  // namespace
