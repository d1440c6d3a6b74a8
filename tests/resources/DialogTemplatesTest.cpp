// The table of dialog templates made from the description: the texts it
// shares with the module's message texts are the same Shift-JIS bytes, every
// text is well-formed code page 932, and the ids named in DialogIds.h are
// the controls of their templates.
#include "resources/DialogTemplates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/SjisLeadByte.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"

namespace {

using dialog_templates::findTemplate;

const ControlTemplate* findControl(const DialogTemplate& t, int id) {
  for (int i = 0; i < t.controlCount; ++i) {
    if (t.controls[i].id == id) return &t.controls[i];
  }
  return nullptr;
}

// Every lead byte followed by a valid trail byte (0x40-0x7E, 0x80-0xFC).
bool isWellFormedCp932(const char* text) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
       *p != 0; ++p) {
    if (!isCodePage932LeadByte(*p)) continue;
    unsigned char trail = p[1];
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    ++p;
  }
  return true;
}

TEST(DialogTemplatesTest, SharedTextsAreTheMessageTextsBytes) {
  const DialogTemplate* progress = findTemplate(kProgressDialogTemplate);
  ASSERT_NE(progress, nullptr);
  EXPECT_STREQ(progress->caption, kTextProgressTitle);
  const ControlTemplate* cancel =
      findControl(*progress, progress_dialog::kCancelButton);
  ASSERT_NE(cancel, nullptr);
  EXPECT_STREQ(cancel->text, kTextProgressCancel);

  const DialogTemplate* panel = findTemplate(kLayerPanelTemplate);
  ASSERT_NE(panel, nullptr);
  EXPECT_STREQ(panel->caption, kTextMenuTitle);
  // ＭＳ Ｐゴシック
  EXPECT_STREQ(dialog_templates::kFontFace,
               "\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N");
}

TEST(DialogTemplatesTest, EveryTextIsWellFormedShiftJis) {
  for (const DialogTemplate& t : dialog_templates::kTemplates) {
    EXPECT_TRUE(isWellFormedCp932(t.caption)) << t.id;
    for (int i = 0; i < t.controlCount; ++i) {
      EXPECT_TRUE(isWellFormedCp932(t.controls[i].text))
          << t.id << " control " << t.controls[i].id;
    }
  }
  // 表示: its second byte is 0x5C, which must survive as a trail byte.
  const DialogTemplate* row = findTemplate(kLayerRowTemplate);
  ASSERT_NE(row, nullptr);
  const ControlTemplate* show = findControl(*row, layer_row::kShowCheck);
  ASSERT_NE(show, nullptr);
  EXPECT_STREQ(show->text, "\x95\x5C\x8E\xA6");
}

TEST(DialogTemplatesTest, NamedIdsAreControlsOfTheirTemplate) {
  struct Case {
    int templateId;
    int controlId;
    const char* className;
  } cases[] = {
      {kProgressDialogTemplate, progress_dialog::kProgressBar, "msctls_progress32"},
      {kProgressDialogTemplate, progress_dialog::kLabel, "Static"},
      {kReopenDialogTemplate, reopen_dialog::kListBox, "ListBox"},
      {kReopenDialogTemplate, reopen_dialog::kOpenPreviousRadio, "Button"},
      {kReopenDialogTemplate, reopen_dialog::kReadNewRadio, "Button"},
      {kCloseDataDialogTemplate, close_data_dialog::kListBox, "ListBox"},
      {kCloseDataDialogTemplate, close_data_dialog::kDeleteButton, "Button"},
      {kLayerPanelTemplate, layer_panel::kListPlaceholder, "Static"},
      {kLayerPanelTemplate, layer_panel::kShowIn3dCheck, "Button"},
      {kLayerRowTemplate, layer_row::kWidthCombo, "ComboBox"},
      {kLayerRowTemplate, layer_row::kColourButton, "Button"},
      {kLayerRowTemplate, layer_row::kTitle, "Static"},
  };
  for (const Case& c : cases) {
    const DialogTemplate* t = findTemplate(c.templateId);
    ASSERT_NE(t, nullptr) << c.templateId;
    const ControlTemplate* control = findControl(*t, c.controlId);
    ASSERT_NE(control, nullptr) << c.templateId << " " << c.controlId;
    EXPECT_STREQ(control->className, c.className) << c.controlId;
  }
}

TEST(DialogTemplatesTest, PlaceholderStartsHiddenAndWidthsFillTheCombo) {
  const DialogTemplate* panel = findTemplate(kLayerPanelTemplate);
  ASSERT_NE(panel, nullptr);
  const uint32_t kVisible = 0x10000000u;  // WS_VISIBLE
  EXPECT_EQ(findControl(*panel, layer_panel::kListPlaceholder)->style & kVisible, 0u);
  EXPECT_NE(findControl(*panel, layer_panel::kShowIn3dCheck)->style & kVisible, 0u);
  EXPECT_TRUE(panel->extended);

  const DialogTemplate* row = findTemplate(kLayerRowTemplate);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->initControl, layer_row::kWidthCombo);
  ASSERT_EQ(row->initCount, 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(std::string(row->initStrings[i]), std::to_string(i + 1));
  }
}

}  // namespace
