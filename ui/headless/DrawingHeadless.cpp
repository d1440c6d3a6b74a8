#include "ui/headless/DrawingHeadless.h"

#include <map>

namespace headless {
namespace {

struct DrawingState {
  std::map<int32_t, uint32_t> colourOverrides;
  std::vector<ColourDialogCall> colourCalls;
  std::function<bool(uint32_t*, uint32_t*)> colourHook;
  int32_t live = 0;
  int32_t created = 0;
};

DrawingState& state() {
  static DrawingState s;
  return s;
}

// What a brush is here: a tag with its colour.
struct HeadlessBrush {
  uint32_t colour;
};

}  // namespace

int32_t liveBrushes() { return state().live; }
int32_t brushesCreated() { return state().created; }

void setSystemColour(int32_t index, uint32_t colour) {
  state().colourOverrides[index] = colour;
}

const std::vector<ColourDialogCall>& colourDialogCalls() {
  return state().colourCalls;
}

void onColourDialog(std::function<bool(uint32_t*, uint32_t*)> hook) {
  state().colourHook = std::move(hook);
}

void resetDrawing() {
  DrawingState& s = state();
  s.colourOverrides.clear();
  s.colourCalls.clear();
  s.colourHook = nullptr;
  // Brushes still alive belong to whoever made them: they stay counted.
  s.created = 0;
}

}  // namespace headless

uint32_t systemColour(int32_t index) {
  const auto& overrides = headless::state().colourOverrides;
  auto it = overrides.find(index);
  if (it != overrides.end()) return it->second;
  switch (index) {  // the classic Windows scheme
    case kColourWindowFrame: return 0x000000;
    case kColourAppWorkspace: return 0x808080;
    case kColourButtonFace: return 0xC0C0C0;
    case kColourButtonShadow: return 0x808080;
    case kColourButtonHighlight: return 0xFFFFFF;
    default: return 0x000000;
  }
}

BrushHandle createSolidBrush(uint32_t colour) {
  ++headless::state().live;
  ++headless::state().created;
  return new headless::HeadlessBrush{colour};
}

void deleteBrush(BrushHandle brush) {
  if (brush == nullptr) return;
  --headless::state().live;
  delete static_cast<headless::HeadlessBrush*>(brush);
}

bool runColourDialog(VpiWindow owner, uint32_t* colour,
                     uint32_t customColours[kCustomColourCount],
                     uint32_t flags) {
  headless::DrawingState& s = headless::state();
  headless::ColourDialogCall call{owner, *colour, {}, flags};
  for (int i = 0; i < kCustomColourCount; ++i) {
    call.customColours[i] = customColours[i];
  }
  s.colourCalls.push_back(call);
  auto hook = s.colourHook;
  uint32_t chosen = *colour;
  if (!hook || !hook(customColours, &chosen)) return false;
  *colour = chosen;
  return true;
}
