// The scrolling list inside the side panel: one LayerRow per open data set,
// stacked top to bottom edge to edge in the order they were added, scrolled
// vertically by the list's own scroll bar. The list owns its rows. Heights
// are never stored: every layout and every scroll step measures each row's
// outer rectangle again. Positions and heights are in pixels.

#ifndef MORVANE_UI_ROWLISTWINDOW_H_
#define MORVANE_UI_ROWLISTWINDOW_H_

#include <cstdint>

#include "base/GrowableArray.h"
#include "host/PluginIf.h"
#include "ui/PlainWindow.h"

class LayerRow;

struct RowEntry {
  LayerRow* row;  // owned
  int32_t rowId;
};

// The list's child id in the panel.
constexpr int32_t kRowListChildId = 100;

class RowListWindow : public PlainWindowHandler {
 public:
  RowListWindow() = default;
  // Destroys every row and the window.
  ~RowListWindow() override;
  RowListWindow(const RowListWindow&) = delete;
  RowListWindow& operator=(const RowListWindow&) = delete;

  // Makes the window as a child of parent at (0, 0)-(100, 100), child id
  // 100; false when it cannot be made. destroyWindow leaves the rows.
  bool create(VpiWindow parent);
  void destroyWindow();
  PlainWindow* window() const { return window_; }

  // Creates the row of a registered data set and appends it, widening the
  // list once when the row is wider than its client area. False, nothing
  // added, without a window or when the row cannot be made or kept.
  bool addRow(int32_t rowId);
  // Removes the first row with that id, if any; back to the top either way.
  void removeRow(int32_t rowId);
  // Destroys and deletes every row; scroll position 0, no layout.
  void removeAll();

  // Places every row for scroll position p and refreshes the scroll bar.
  void layoutRows(int32_t p);
  // Moves the rows from scroll position oldPos to newPos.
  void moveRows(int32_t newPos, int32_t oldPos);

  int32_t count() const { return rows_.size(); }
  const RowEntry& entry(int32_t index) const { return rows_[index]; }
  int32_t scrollPos() const { return scrollPos_; }
  int32_t totalHeight() const { return totalHeight_; }

  void onCreate(PlainWindow& window) override;
  void onVerticalScroll(PlainWindow& window, int32_t request) override;
  void onPaint(PlainWindow& window, DrawTarget& target) override;

 private:
  static constexpr int32_t kLine = 1;   // pixels per line request
  static constexpr int32_t kPage = 10;  // pixels per page request, fixed

  GrowableArray<RowEntry> rows_{1};
  int32_t scrollPos_ = 0;
  int32_t totalHeight_ = 0;
  PlainWindow* window_ = nullptr;
};

#endif  // MORVANE_UI_ROWLISTWINDOW_H_
