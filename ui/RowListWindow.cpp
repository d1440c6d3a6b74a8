#include "ui/RowListWindow.h"

#include <algorithm>

#include "ui/LayerRow.h"

namespace {

int32_t heightOf(const WindowRect& r) { return r.bottom - r.top; }
int32_t widthOf(const WindowRect& r) { return r.right - r.left; }

// The row's measured outer height, 0 for a row without a window.
int32_t rowHeight(const RowEntry& e) {
  const DialogWindow* w = e.row->window();
  return w != nullptr ? heightOf(w->outerRect()) : 0;
}

void placeRow(const RowEntry& e, int32_t y) {
  if (DialogWindow* w = e.row->window()) w->placeAt(0, y);
}

}  // namespace

RowListWindow::~RowListWindow() {
  removeAll();
  destroyWindow();
}

bool RowListWindow::create(VpiWindow parent) {
  if (window_ != nullptr) return true;
  window_ = createRowListWindow(*this, parent, kRowListChildId, {0, 0, 100, 100});
  return window_ != nullptr;
}

void RowListWindow::destroyWindow() {
  if (window_ == nullptr) return;
  PlainWindow* w = window_;
  window_ = nullptr;
  destroyPlainWindow(w);
}

bool RowListWindow::addRow(int32_t rowId) {
  if (window_ == nullptr) return false;
  const WindowRect listClient = window_->clientRect();
  const WindowRect listOuter = window_->outerRect();

  // Owned here until the list holds it, so that memory running out on the
  // way (an exception included) takes the row and its window with it.
  struct RowOwner {
    LayerRow* row;
    ~RowOwner() {
      if (row == nullptr) return;
      row->destroyWindow();
      delete row;
    }
  } owner{new LayerRow(rowId)};
  LayerRow* row = owner.row;
  if (!row->createModeless(window_->handle())) return false;
  const WindowRect rowClient = row->window()->clientRect();
  if (widthOf(listClient) < widthOf(rowClient)) {
    // The list's client area becomes exactly as wide as the row's.
    window_->resize(
        widthOf(listOuter) - widthOf(listClient) + widthOf(rowClient),
        heightOf(listOuter));
  }
  if (!rows_.append(RowEntry{row, rowId})) return false;
  owner.row = nullptr;
  layoutRows(scrollPos_);
  return true;
}

void RowListWindow::removeRow(int32_t rowId) {
  for (int32_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].rowId != rowId) continue;
    LayerRow* row = rows_[i].row;
    rows_.removeAt(i);
    row->destroyWindow();
    delete row;
    break;
  }
  scrollPos_ = 0;
  layoutRows(0);
}

void RowListWindow::removeAll() {
  for (int32_t i = 0; i < rows_.size(); ++i) {
    rows_[i].row->destroyWindow();
    delete rows_[i].row;
  }
  rows_.setSize(0);
  scrollPos_ = 0;
}

void RowListWindow::layoutRows(int32_t p) {
  totalHeight_ = 0;
  int32_t y = 0;
  for (int32_t i = 0; i < rows_.size(); ++i) {
    const int32_t h = rowHeight(rows_[i]);
    placeRow(rows_[i], y - p);
    y += h;
    totalHeight_ += h;
  }
  if (window_ == nullptr) return;
  ScrollState s = window_->verticalScroll();
  s.minimum = 0;
  s.maximum = totalHeight_;
  s.page = heightOf(window_->clientRect());
  s.position = scrollPos_;
  window_->setVerticalScroll(s);
}

void RowListWindow::moveRows(int32_t newPos, int32_t oldPos) {
  if (newPos < oldPos) {
    // The content moves down: the top row first, so rows never cover the
    // ones not yet moved.
    int32_t y = 0;
    for (int32_t i = 0; i < rows_.size(); ++i) {
      const int32_t h = rowHeight(rows_[i]);
      placeRow(rows_[i], y - newPos);
      y += h;
    }
  } else if (newPos > oldPos) {
    int32_t y = totalHeight_;
    for (int32_t i = rows_.size() - 1; i >= 0; --i) {
      y -= rowHeight(rows_[i]);
      placeRow(rows_[i], y - newPos);
    }
  }
}

void RowListWindow::onCreate(PlainWindow& window) {
  ScrollState s = window.verticalScroll();
  s.minimum = 0;
  s.maximum = 0;
  s.page = heightOf(window.outerRect());
  s.position = scrollPos_;
  window.setVerticalScroll(s);
}

void RowListWindow::onVerticalScroll(PlainWindow& window, int32_t request) {
  ScrollState s = window.verticalScroll();
  const int32_t limit = std::max(s.maximum - s.page, 0);
  const int32_t old = scrollPos_;
  bool move = true;
  switch (request) {
    case kScrollLineUp:
      scrollPos_ = std::max(old - kLine, 0);
      break;
    case kScrollLineDown:
      scrollPos_ = std::min(old + kLine, limit);
      break;
    case kScrollPageUp:
      scrollPos_ = std::max(old - kPage, 0);
      break;
    case kScrollPageDown:
      scrollPos_ = std::min(old + kPage, limit);
      break;
    case kScrollThumbTrack:
      scrollPos_ = s.trackPosition;
      break;
    case kScrollTop:
      scrollPos_ = 0;
      break;
    case kScrollBottom:
      scrollPos_ = limit;
      break;
    case kScrollEnd:
      break;
    default:  // thumb position and anything else: the rows stay
      move = false;
      break;
  }
  if (move) moveRows(scrollPos_, old);
  s.position = scrollPos_;
  window.setVerticalScroll(s);
}

void RowListWindow::onPaint(PlainWindow& window, DrawTarget& target) {
  target.fillRectSystem(window.clientRect(), kColourButtonHighlight);
}
