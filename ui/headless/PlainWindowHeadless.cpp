#include "ui/headless/PlainWindowHeadless.h"

#include <algorithm>

namespace headless {
namespace {

std::vector<PlainWindowHeadless*>& windows() {
  static std::vector<PlainWindowHeadless*> w;
  return w;
}

}  // namespace

PlainWindowHeadless::PlainWindowHeadless(PlainWindowHandler& handler,
                                         VpiWindow parent, int32_t childId,
                                         const WindowRect& rect)
    : handler_(handler), parent_(parent), childId_(childId), rect_(rect) {}

WindowRect PlainWindowHeadless::clientRect() const {
  const int32_t w = rect_.right - rect_.left - 2 * kEdge;
  const int32_t h = rect_.bottom - rect_.top - 2 * kEdge;
  return {0, 0, std::max(w, 0), std::max(h, 0)};
}

void PlainWindowHeadless::setBounds(int32_t x, int32_t y, int32_t width,
                                    int32_t height) {
  rect_ = {x, y, x + width, y + height};
}

void PlainWindowHeadless::resize(int32_t width, int32_t height) {
  rect_.right = rect_.left + width;
  rect_.bottom = rect_.top + height;
  widths.push_back(width);
}

void PlainWindowHeadless::setVerticalScroll(const ScrollState& state) {
  // What SetScrollInfo does with the values: the page at most the range
  // plus one, the position within minimum .. maximum - (page - 1).
  ScrollState s = state;
  const int32_t range = s.maximum - s.minimum + 1;
  s.page = std::max(0, std::min(s.page, range));
  const int32_t highest = s.maximum - std::max(s.page - 1, 0);
  s.position = std::max(s.minimum, std::min(s.position, highest));
  s.trackPosition = scroll_.trackPosition;
  scroll_ = s;
}

void PlainWindowHeadless::scroll(int32_t request, int32_t trackPosition) {
  scroll_.trackPosition = trackPosition;
  handler_.onVerticalScroll(*this, request);
}

std::vector<DrawOp> PlainWindowHeadless::paint() {
  RecordingDrawTarget target;
  handler_.onPaint(*this, target);
  return target.ops;
}

PlainWindowHeadless* findPlainWindow(int32_t childId) {
  auto& w = windows();
  for (auto it = w.rbegin(); it != w.rend(); ++it) {
    if ((*it)->childId() == childId) return *it;
  }
  return nullptr;
}

}  // namespace headless

PlainWindow* createRowListWindow(PlainWindowHandler& handler, VpiWindow parent,
                                 int32_t childId, const WindowRect& rect) {
  auto* window = new headless::PlainWindowHeadless(handler, parent, childId, rect);
  headless::windows().push_back(window);
  handler.onCreate(*window);
  return window;
}

void destroyPlainWindow(PlainWindow* window) {
  auto* w = static_cast<headless::PlainWindowHeadless*>(window);
  auto& all = headless::windows();
  all.erase(std::remove(all.begin(), all.end(), w), all.end());
  delete w;
}
