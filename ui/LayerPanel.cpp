#include "ui/LayerPanel.h"

#include "module/PluginModule.h"
#include "resources/DialogIds.h"

namespace {

// One brush for every edit and list box colour request, made from the
// colour of the first request's moment.
BrushHandle gPanelBrush = nullptr;

}  // namespace

void releasePanelBrush() {
  deleteBrush(gPanelBrush);
  gPanelBrush = nullptr;
}

intptr_t panelMovedLParam(int32_t x, int32_t y) {
  const uint32_t packed = (static_cast<uint32_t>(x) & 0xFFFFu) |
                          ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
  return static_cast<intptr_t>(packed);  // as MAKELPARAM: not sign-extended
}

LayerPanel::LayerPanel()
    : ModuleDialog(kLayerPanelTemplate), list(new RowListWindow) {}

LayerPanel::~LayerPanel() {
  // While this object is whole, so that the destruction handler runs.
  destroyWindow();
  delete list;
}

void LayerPanel::exchangeData(bool toControls) {
  DialogWindow* w = window();
  if (w == nullptr) return;
  if (toControls) {
    w->setChecked(layer_panel::kShowIn3dCheck, showIn3dCheck_ != 0);
  } else {
    showIn3dCheck_ = w->checked(layer_panel::kShowIn3dCheck) ? 1 : 0;
  }
}

void LayerPanel::refreshShowIn3d() {
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    showIn3dCheck_ = registry.at(i)->showIn3d;
  }
  exchangeData(true);
}

void LayerPanel::onInitDialog() {
  DialogWindow& w = *window();
  if (list->create(w.handle())) {
    const WindowRect r =
        w.screenToClient(w.controlScreenRect(layer_panel::kListPlaceholder));
    list->window()->setBounds(r.left, r.top, r.right - r.left,
                              r.bottom - r.top);
  }
  initialising_ = 0;
}

void LayerPanel::onShowIn3dClicked() {
  exchangeData(false);
  // The 3D view reads the flag at its next rendering: no redraw here.
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    registry.at(i)->showIn3d = showIn3dCheck_;
  }
}

void LayerPanel::onEnterSizeMove() {
  if (initialising_ || window() == nullptr) return;
  window()->bringToTop();
  moving_ = 1;
}

void LayerPanel::onExitSizeMove() {
  if (initialising_ || !moving_ || window() == nullptr) return;
  DialogWindow& w = *window();
  const VpiWindow parent = w.parent();
  const WindowPoint at = w.screenToClientOf(parent, w.cursorPosition());
  moving_ = 0;
  // Posted, not sent: the host sees it once the move loop has ended.
  w.postMessage(parent, kPanelMovedMessage, pluginModule().panelId,
                panelMovedLParam(at.x, at.y));
}

void LayerPanel::onColourRequest() {
  MessageArgs& args = currentMessage();
  const uint32_t background = systemColour(kColourButtonHighlight);
  if (args.colours != nullptr) {
    args.colours->setTextColour(0x000000);
    args.colours->setBackgroundColour(background);
  }
  if (gPanelBrush == nullptr) gPanelBrush = createSolidBrush(background);
  args.result = reinterpret_cast<intptr_t>(gPanelBrush);
}

void LayerPanel::onDestroy() {
  list->removeAll();
  list->destroyWindow();
}

ModuleDialog::MessageTable LayerPanel::messageTable() const {
  static const MessageEntry kEntries[] = {
      {kMessageInitDialog, 0, 0, handler(&LayerPanel::onInitDialog)},
      {kMessageCommand, layer_panel::kShowIn3dCheck, kNotifyClicked,
       handler(&LayerPanel::onShowIn3dClicked)},
      {kMessageEnterSizeMove, 0, 0, handler(&LayerPanel::onEnterSizeMove)},
      {kMessageExitSizeMove, 0, 0, handler(&LayerPanel::onExitSizeMove)},
      // Edit controls and list boxes only; every other kind keeps the
      // default dialog colours.
      {kMessageColourEdit, 0, 0, handler(&LayerPanel::onColourRequest)},
      {kMessageColourListBox, 0, 0, handler(&LayerPanel::onColourRequest)},
      {kMessageDestroy, 0, 0, handler(&LayerPanel::onDestroy)},
  };
  return {kEntries, sizeof(kEntries) / sizeof(kEntries[0])};
}
