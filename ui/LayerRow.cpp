#include "ui/LayerRow.h"

#include "module/PluginModule.h"
#include "platform/SjisLeadByte.h"
#include "resources/DialogIds.h"
#include "ui/ColourDialog.h"

namespace {

LineDataSet* findDataSet(int32_t rowId) {
  return pluginModule().registry.find(rowId);
}

}  // namespace

std::string rowTitle(const std::string& name) {
  size_t i = 0;
  while (i < name.size()) {
    if (isCodePage932LeadByte(static_cast<unsigned char>(name[i]))) {
      if (i + 1 >= name.size() || name[i + 1] == '\0') break;
      i += 2;
    } else {
      if (name[i] == '\0') break;
      ++i;
    }
  }
  return name.substr(0, i);
}

LayerRow::LayerRow(int32_t rowId)
    : ModuleDialog(kLayerRowTemplate), rowId_(rowId) {}

void LayerRow::exchangeData(bool toControls) {
  DialogWindow* w = window();
  if (w == nullptr) return;
  if (toControls) {
    w->setChecked(layer_row::kShowCheck, showCheck_ != 0);
    // CB_SETCURSEL with an index outside the list leaves no selection.
    w->setSelection(layer_row::kWidthCombo, widthIndex_);
  } else {
    showCheck_ = w->checked(layer_row::kShowCheck) ? 1 : 0;
    const std::vector<int32_t> selected =
        w->selectedItems(layer_row::kWidthCombo);
    widthIndex_ = selected.empty() ? -1 : selected.front();
  }
}

void LayerRow::loadFromDataSet() {
  if (const LineDataSet* ds = findDataSet(rowId_)) {
    showCheck_ = ds->visible;
    // A width from a cache file may lie outside the list (0, negative, very
    // large): it shows as the nearest width the list has.
    widthIndex_ = clampedLineWidth(ds->lineWidth) - 1;
    colour_ = ds->lineColour;
    if (window() != nullptr) {
      window()->setText(layer_row::kTitle, rowTitle(ds->name));
    }
  }
  exchangeData(true);
}

void LayerRow::storeToDataSet() {
  exchangeData(false);
  LineDataSet* ds = findDataSet(rowId_);
  if (ds == nullptr) return;
  ds->visible = showCheck_;
  // The width the data set holds stays unless the user chose another one in
  // the list: a width outside the list, shown clamped, is kept as it is.
  if (widthIndex_ >= 0 && widthIndex_ + 1 != clampedLineWidth(ds->lineWidth)) {
    ds->lineWidth = widthIndex_ + 1;
  }
  ds->lineColour = colour_;
}

void LayerRow::onChanged() {
  storeToDataSet();
  VPI_UpdateAllViews(1);
}

void LayerRow::onColourClicked() {
  // The custom colours live only for this one dialog: the current colour
  // first, the rest black; whatever the user does to them is dropped.
  uint32_t custom[kCustomColourCount] = {colour_};
  uint32_t chosen = colour_;
  VpiWindow owner = window() != nullptr ? window()->handle() : nullptr;
  if (runColourDialog(owner, &chosen, custom,
                      kColourDialogRgbInit | kColourDialogFullOpen)) {
    colour_ = chosen;
  }
  // A cancelled dialog is not an error: the swatch is repainted and all
  // three attributes are stored all the same.
  if (window() != nullptr) window()->redrawControl(layer_row::kColourButton);
  onChanged();
}

void LayerRow::onDrawSwatch() {
  MessageArgs& args = currentMessage();
  if (args.drawItem == nullptr) return;
  drawSwatch(*args.drawItem, colour_);
  args.result = 1;
}

void drawSwatch(const DrawItemRequest& request, uint32_t colour) {
  if (request.target == nullptr) return;
  bool sunken = false;
  bool disabled = false;
  if (request.state & kItemStateDisabled) {
    disabled = true;
  } else if (request.action & kDrawActionEntire) {
  } else if (request.action & kDrawActionSelect) {
    sunken = (request.state & kItemStateSelected) != 0;
  } else {
    return;  // a focus change only
  }
  DrawTarget& dc = *request.target;
  WindowRect r = request.rect;
  if (sunken) {
    dc.frame3d(r, kColourButtonShadow, kColourButtonHighlight);
  } else {
    dc.frame3d(r, kColourButtonFace, kColourWindowFrame);
  }
  r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  if (sunken) {
    dc.frame3d(r, kColourWindowFrame, kColourButtonFace);
  } else {
    dc.frame3d(r, kColourButtonHighlight, kColourButtonShadow);
  }
  r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  if (disabled) {
    dc.fillRectSystem(r, kColourButtonShadow);
  } else {
    dc.fillRect(r, colour);
  }
}

ModuleDialog::MessageTable LayerRow::messageTable() const {
  static const MessageEntry kEntries[] = {
      {kMessageInitDialog, 0, 0, handler(&LayerRow::onInitDialog)},
      {kMessageCommand, layer_row::kShowCheck, kNotifyClicked,
       handler(&LayerRow::onChanged)},
      {kMessageCommand, layer_row::kWidthCombo, kNotifySelectionChange,
       handler(&LayerRow::onChanged)},
      {kMessageCommand, layer_row::kColourButton, kNotifyClicked,
       handler(&LayerRow::onColourClicked)},
      {kMessageDrawItem, layer_row::kColourButton, 0,
       handler(&LayerRow::onDrawSwatch)},
  };
  return {kEntries, sizeof(kEntries) / sizeof(kEntries[0])};
}
