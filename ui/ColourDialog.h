// The system colour dialog, modal, as the backend provides it (ChooseColorA
// on Windows, a scripted answer in the headless build).

#ifndef MORVANE_UI_COLOURDIALOG_H_
#define MORVANE_UI_COLOURDIALOG_H_

#include <cstdint>

#include "host/PluginIf.h"

// Flags, with their Win32 values (CHOOSECOLOR.Flags).
enum : uint32_t {
  kColourDialogRgbInit = 0x1,   // CC_RGBINIT: start with *colour selected
  kColourDialogFullOpen = 0x2,  // CC_FULLOPEN: custom colours shown at once
};
constexpr int kCustomColourCount = 16;

// Runs the dialog owned by owner, starting from *colour, with the table of
// 16 custom colours, which the dialog may change. Returns true and sets
// *colour when the user confirmed with OK; false, *colour unchanged, on
// cancel or when the dialog could not be shown.
bool runColourDialog(VpiWindow owner, uint32_t* colour,
                     uint32_t customColours[kCustomColourCount],
                     uint32_t flags);

#endif  // MORVANE_UI_COLOURDIALOG_H_
