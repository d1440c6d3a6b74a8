// What PluginIf.dll offers the Windows host program besides the VPI_
// functions: the host's windows and a host session with the module in it.
// The program drives the host through these, so that the program, the
// module and PluginIf.dll share one host (one menu set, one scene, one
// profile), as in the real host where PluginIf.dll is the host's own.
// Plain C functions, exported by these names; the module never sees them.

#ifndef MORVANE_STANDIN_WIN32_WINDOWHOSTAPI_H_
#define MORVANE_STANDIN_WIN32_WINDOWHOSTAPI_H_

#include <cstdint>

extern "C" {

// The host's home folder (a Windows path).
void StandinHost_SetHome(const char* home);

// Makes the main window (menu bar, map area, panel area); 1 or 0.
int32_t StandinHost_CreateWindow(int32_t width, int32_t height);

// Shows this extent of the map (WGS 84 degrees), with the names of the
// place-name database inside it laid over the map.
void StandinHost_SetMapExtent(double west, double south, double east,
                              double north);

// The bounds (WGS 84 degrees) of what the layers drew into the map at the
// last redraw; 1, or 0 when they drew nothing.
int32_t StandinHost_DrawnBounds(double* west, double* south, double* east,
                                double* north);

// Starts a host session with the module at modulePath (HostSession.h) and
// puts the module's popups into the menu bar. 1, or 0 with the reason in
// error (always zero-terminated within errorSize).
int32_t StandinHost_StartSession(const char* modulePath, char* error,
                                 int32_t errorSize);

// Lets the windows paint (pumps for about a second), then saves the main
// window as PNG, with the dialogs shown over it (the screen's rectangle
// holding the main window and every visible window of this thread); 1 or 0.
int32_t StandinHost_Screenshot(const char* path);

// Dispatches window messages until the main window is closed.
void StandinHost_Run(void);

// Stops the session (Close, Release, unload) and destroys the windows; 1,
// or 0 when the host could not save what it keeps (the place names).
int32_t StandinHost_Stop(void);

}  // extern "C"

#endif  // MORVANE_STANDIN_WIN32_WINDOWHOSTAPI_H_
