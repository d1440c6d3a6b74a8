// The shape of a dialog template as data: what the headless user interface
// needs of a template to build the same dialog without windows. The table of
// the module's templates, resources/DialogTemplates.h, is made by the build
// from the same description as the resource script (resources/Dialogs.cmake).
#ifndef MORVANE_RESOURCES_DIALOGTEMPLATE_H_
#define MORVANE_RESOURCES_DIALOGTEMPLATE_H_

#include <cstdint>

// One control: rectangle in dialog units; style with WS_CHILD, and
// WS_VISIBLE unless the control starts hidden; text in Shift-JIS.
struct ControlTemplate {
  int id;
  const char* className;  // "Button", "Static", "ListBox", "ComboBox", ...
  const char* text;
  uint32_t style;
  int x, y, width, height;
};

struct DialogTemplate {
  int id;
  bool extended;  // an extended template (DIALOGEX)
  uint32_t style;
  uint32_t exStyle;
  int x, y, width, height;
  const char* caption;  // Shift-JIS; empty for none
  const ControlTemplate* controls;  // in template (and tab) order
  int controlCount;
  // The initialisation data: items added to one combo box when the dialog
  // initialises, in order (initControl 0 when there are none).
  int initControl;
  const char* const* initStrings;
  int initCount;
};

#endif  // MORVANE_RESOURCES_DIALOGTEMPLATE_H_
