// Which module's resources dialog templates are taken from. The host and its
// modules share one "current" resource module; a dialog of ours makes its
// own module current while its window is created, so that its template is
// found here and not in the host. Provided by the backend: the Win32 one
// keeps instance handles, the headless one records the switch for tests.

#ifndef MORVANE_UI_RESOURCEMODULE_H_
#define MORVANE_UI_RESOURCEMODULE_H_

using ResourceModule = const void*;  // an HINSTANCE on Windows

ResourceModule currentResourceModule();
void setCurrentResourceModule(ResourceModule module);
// This module's own resources.
ResourceModule moduleResourceModule();

#endif  // MORVANE_UI_RESOURCEMODULE_H_
