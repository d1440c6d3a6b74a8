// One row of the side panel's list: the display attributes of one open line
// data set (its name as a title, a show check box, a colour swatch that
// opens the system colour dialog, the line width 1 to 9). Every change the
// user makes is written straight into the data set and followed by one
// request to the host to redraw its views.
//
// The row refers to its data set only by rowId: each read and write looks
// it up in the module's registry (the first data set with that id). A row
// whose data set is gone changes nothing. The row list creates the row as a
// child of its window, and destroys and deletes it.

#ifndef MORVANE_UI_LAYERROW_H_
#define MORVANE_UI_LAYERROW_H_

#include <cstdint>
#include <string>

#include "host/PluginIf.h"
#include "ui/ModuleDialog.h"

class LayerRow : public ModuleDialog {
 public:
  explicit LayerRow(int32_t rowId);

  // Copies the data set's attributes into the row and its controls; without
  // a data set only the row's current check and width reach the controls.
  void loadFromDataSet();
  // Copies the controls and the colour into the data set, if there is one.
  void storeToDataSet();

  int32_t rowId() const { return rowId_; }
  uint32_t colour() const { return colour_; }

 protected:
  void exchangeData(bool toControls) override;
  MessageTable messageTable() const override;

 private:
  void onInitDialog() { loadFromDataSet(); }
  void onChanged();
  void onColourClicked();
  void onDrawSwatch();

  int32_t showCheck_ = 0;
  int32_t widthIndex_ = -1;  // line width - 1; -1 for none
  const int32_t rowId_;
  uint32_t colour_ = 0;  // 0x00BBGGRR
};

// The title a data set name shows as: the name without a two-byte character
// cut short at its end, so no conversion reads past the text.
std::string rowTitle(const std::string& name);

// Draws the colour swatch for an owner-draw request: raised or sunken
// one-pixel frames in the system colours and the fill inside them; a focus
// change alone draws nothing.
void drawSwatch(const DrawItemRequest& request, uint32_t colour);

#endif  // MORVANE_UI_LAYERROW_H_
