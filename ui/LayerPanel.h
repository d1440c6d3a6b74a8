// The module's side panel: a small captioned child window in the host's
// panel area holding the scrolling list of rows (one per open data set) and,
// below it, one check box that switches the 3D drawing of every open data
// set. There is one panel, created modelessly by the lifecycle as a child of
// the host's panel parent, and destroyed by it at release.
//
// When the user lets go of the panel after dragging it, the panel posts
// 0x495 to its parent with the panel's host id and the cursor in the
// parent's client coordinates.

#ifndef MORVANE_UI_LAYERPANEL_H_
#define MORVANE_UI_LAYERPANEL_H_

#include <cstdint>

#include "ui/ModuleDialog.h"
#include "ui/RowListWindow.h"

// The move-end notification posted to the panel's parent.
constexpr uint32_t kPanelMovedMessage = 0x495;

class LayerPanel : public ModuleDialog {
 public:
  // Allocates the list; its window is made when the panel's window is.
  LayerPanel();
  // Destroys the window (rows and list window with it), then the list.
  ~LayerPanel() override;

  // The rows, owned by the panel; never null.
  RowListWindow* const list;

  // Shows the last registered data set's 3D flag in the check box (an empty
  // registry leaves it as it was).
  void refreshShowIn3d();

  int32_t showIn3dCheck() const { return showIn3dCheck_; }
  bool initialising() const { return initialising_ != 0; }
  bool moving() const { return moving_ != 0; }

 protected:
  void exchangeData(bool toControls) override;
  MessageTable messageTable() const override;

 private:
  void onInitDialog();
  void onShowIn3dClicked();
  void onEnterSizeMove();
  void onExitSizeMove();
  void onColourRequest();
  void onDestroy();

  int32_t showIn3dCheck_ = 0;
  int32_t initialising_ = 1;
  int32_t moving_ = 0;
};

// The lParam of the move-end notification: x in the low 16 bits and y in
// the high 16 bits, each cut to 16 bits (two's complement for negatives).
intptr_t panelMovedLParam(int32_t x, int32_t y);

// Frees the brush shared by the panel's colour requests; called when the
// module is unloaded. The next request makes a new one.
void releasePanelBrush();

#endif  // MORVANE_UI_LAYERPANEL_H_
