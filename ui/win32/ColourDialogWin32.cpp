// The system colour dialog (comdlg32's ChooseColorA).

#include "ui/ColourDialog.h"

#include <windows.h>
#include <commdlg.h>

bool runColourDialog(VpiWindow owner, uint32_t* colour,
                     uint32_t customColours[kCustomColourCount],
                     uint32_t flags) {
  COLORREF custom[kCustomColourCount];
  for (int i = 0; i < kCustomColourCount; ++i) custom[i] = customColours[i];
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = static_cast<HWND>(owner);
  cc.rgbResult = *colour;
  cc.lpCustColors = custom;
  cc.Flags = flags;  // CC_RGBINIT and CC_FULLOPEN have our values
  const bool ok = ChooseColorA(&cc) != FALSE;
  for (int i = 0; i < kCustomColourCount; ++i) customColours[i] = custom[i];
  if (ok) *colour = cc.rgbResult;
  return ok;
}

static_assert(kColourDialogRgbInit == CC_RGBINIT, "CC_RGBINIT");
static_assert(kColourDialogFullOpen == CC_FULLOPEN, "CC_FULLOPEN");
