// The host's plug-in interface as the module sees it: the functions exported
// by PluginIf.dll, the records they exchange, the callback shape, and the
// menu and layer event numbers.
//
// Every function is a plain C function with the default (cdecl) calling
// convention, imported by name. Texts are zero-terminated Shift-JIS.
// Handles the host gives out (plug-in, menus, layers, views, maps, depot
// ids, panels) are unsigned 32-bit values, 0 meaning "none". Window handles
// are opaque pointers.
//
// The record layouts below are the host's. On the shipping 32-bit Windows
// build the offsets and sizes are pinned by static_asserts at the end of this
// file; on 64-bit builds pointer members widen and only the field order holds.

#ifndef MORVANE_HOST_PLUGINIF_H_
#define MORVANE_HOST_PLUGINIF_H_

#include <cstddef>
#include <cstdint>

// Opaque window handle (HWND on Windows).
typedef void* VpiWindow;

// Callback shape shared by menu commands, layers and line drawing.
// wParam and lParam are pointer-sized: 32-bit on the shipping module, so that
// lParam can carry a pointer (to the enabled flag of the menu protocol, the
// draw records and the point records) on every build.
typedef int32_t (*VpiCallback)(int32_t message, uintptr_t wParam,
                               intptr_t lParam);

// Menu protocol.
enum : int32_t {
  kMenuRunCommand = 100,     // run the command
  kMenuQueryEnabled = 101,   // store 1 or 0 (32-bit) where lParam points
};

// Layer events.
enum : int32_t {
  kLayerEventDraw2d = 600,   // wParam: view, lParam: tagDRAW2DEVENT*
  kLayerEventDraw3d = 653,   // wParam: 3D view, lParam: tagDRAW3DEVENT*
};

// Point callback results of VPI_DrawVideoLines and VPI_Draw3dLines.
enum : int32_t {
  kPointSkip = 0,       // nothing to draw for this index
  kPointBeginLine = 1,  // begin a new line at the output position
  kPointContinue = 2,   // continue the current line to the output position
  kPointEnd = 3,        // no more points
};

#pragma pack(push, 8)

// A geographic position in degrees, north and east positive.
struct tagGEOPOS {
  double latitude;
  double longitude;
};

// The eye of the 3D view; only the first two members are the module's.
struct tagEYEPOS3D {
  double latitude;
  double longitude;
  double height;
  double heading;
  double pitch;
};

// Options of a 3D view. The caller sets size to 64 before asking.
struct tagVIEW3DOPTIONS {
  int32_t size;          // 0: size of the record, 64
  int32_t reserved1[3];  // 4
  double drawDistance;   // 16: drawing distance, in VPI_GetDistance's unit
  double reserved2[5];   // 24
};

// One entry of the place-name database, filled by the module and copied by
// the host during VPI_AddNameDBItem.
struct tagNAMEDBITEM {
  int32_t size;         // 0: 56
  const char* name;     // 4
  const char* name2;    // 8: the same text again
  double latitude;      // 16: y as read from the file
  double longitude;     // 24: x as read from the file
  int32_t value32a;     // 32: 0
  int32_t value32b;     // 36: 0
  int8_t value8;        // 40: 0
  int16_t value16a;     // 42: 1
  int16_t value16b;     // 44: 80
  int32_t value32c;     // 48: 1
};

// The record Init fills in.
struct PluginInfo {
  int32_t size;         // 0: 280
  char name[80];        // 4
  char version[30];     // 84
  char text3[162];      // 114, reaching to 276
  int32_t flag;         // 276: 1
};

// The record lParam points to with layer event 600.
struct tagDRAW2DEVENT {
  int32_t reserved[2];  // 0: not used by the module
  tagGEOPOS northWest;  // 8: north edge latitude, west edge longitude
  tagGEOPOS southEast;  // 24: south edge latitude, east edge longitude
};

// The record lParam points to with layer event 653.
struct tagDRAW3DEVENT {
  int32_t reserved0;          // 0
  int32_t reserved1;          // 4
  int32_t blockCount;         // 8: number of block codes
  const int32_t* blockCodes;  // 12: the codes of the blocks being rendered
  int32_t mode;               // 16: 2 means "draw nothing"
};

// The record a 3D point callback fills (lParam points to it).
struct Point3dRecord {
  double latitude;   // 0
  double longitude;  // 8
  double height;     // 16: -9999.0, no height of the module's own
  int32_t flags;     // 24: 0
};

#pragma pack(pop)

extern "C" {

// General.
int32_t VPI_GetVersion(void);
VpiWindow VPI_GetMainWnd(void);
int32_t VPI_GetProfileInt(uint32_t plugin, const char* key, int32_t def);
int32_t VPI_WriteProfileInt(uint32_t plugin, const char* key, int32_t value);
int32_t VPI_Pump(void);

// Menus and panel.
uint32_t VPI_AddPopupMenu(uint32_t plugin, int32_t position, const char* title,
                          int32_t flag);
uint32_t VPI_AddChildMenu(uint32_t plugin, uint32_t menu, const char* title,
                          VpiCallback callback);
VpiWindow VPI_GetParentDialogPanel(void);
uint32_t VPI_AddDialogPanel(VpiWindow window, const char* title);
int32_t VPI_RemoveDialogPanel(uint32_t panel);

// Layers.
uint32_t VPI_AddLayer(uint32_t plugin, VpiCallback callback, int32_t id);
uint32_t VPI_AddLayer3d(uint32_t plugin, VpiCallback callback, int32_t id);
int32_t VPI_DeleteLayer(uint32_t layer);
int32_t VPI_DeleteLayer3d(uint32_t layer);
void VPI_UpdateAllViews(int32_t flag);

// 2D map.
uint32_t VPI_GetMap(uint32_t view);
int32_t VPI_GetDatum(uint32_t map);
// Converts source (in sourceDatum) into destination (in destinationDatum).
int32_t VPI_ConvertDatum(const tagGEOPOS* source, tagGEOPOS* destination,
                         int32_t sourceDatum, int32_t destinationDatum);
int32_t VPI_GetVideoPen(uint32_t view, uint32_t colour, int32_t width);
// Calls callback(index, 0, tagGEOPOS*) for index 0, 1, 2, ... until it
// returns kPointEnd.
int32_t VPI_DrawVideoLines(uint32_t view, VpiCallback callback);
int32_t VPI_DrawVideoMoveTo(uint32_t view, const tagGEOPOS* position);

// 3D view.
uint32_t VPI_GetMap3d(uint32_t view);
int32_t VPI_GetPosition3d(uint32_t view, tagEYEPOS3D* eye);
int32_t VPI_GetView3dOptions(uint32_t view, tagVIEW3DOPTIONS* options);
tagGEOPOS VPI_GetBlockSize(uint32_t map3d);
tagGEOPOS VPI_CodeToPos(uint32_t map3d, int32_t blockCode);
int32_t VPI_Get3dPen(uint32_t view, uint32_t colour, int32_t width);
// Calls callback(index, 0, Point3dRecord*) for index 0, 1, 2, ... until it
// returns kPointEnd.
int32_t VPI_Draw3dLines(uint32_t view, VpiCallback callback);
double VPI_GetDistance(const tagGEOPOS* a, const tagGEOPOS* b);
int32_t VPI_IsAbortRendering(uint32_t view);
void VPI_SetRenderingProgressMessage(uint32_t view, const char* text);
void VPI_SetRenderingProgressPos(uint32_t view, int32_t percent);

// Data depot. Parent 0 is the depot root; ids are 0 when nothing was found.
uint32_t VPI_DD_GetID(uint32_t parent, const char* title);
uint32_t VPI_DD_AddFolder(uint32_t parent, const char* title,
                          const char* folder);
uint32_t VPI_DD_AddItem(uint32_t parent, const char* title, const char* file);
// Writes the directory of a folder (or the file of an item) into buffer,
// which holds kVpiPathSize bytes; never more than that, terminating zero
// included.
int32_t VPI_DD_GetPath(uint32_t id, char* buffer);
const char* VPI_DD_GetTitle(uint32_t id);
uint32_t VPI_DD_EnumFirstID(uint32_t folder);
uint32_t VPI_DD_EnumNextID(uint32_t folder, uint32_t id);
int32_t VPI_DD_RemoveItem(uint32_t id);
int32_t VPI_DD_RemoveFolder(uint32_t id);

// Host progress bar.
int32_t VPI_CreateProgressBar(void);
void VPI_SetPosProgressBar(int32_t percent);
void VPI_DeleteProgressBar(void);

// Place-name database.
int32_t VPI_IsOpenName(void);
int32_t VPI_NewNameDB(void);
// 0 or more: added; negative: refused.
int32_t VPI_AddNameDBItem(const tagNAMEDBITEM* item);
void VPI_RemoveNameDBBlock(int32_t first, int32_t second);

}  // extern "C"

// Size of every path buffer exchanged with the host and built by the module.
constexpr int kVpiPathSize = 260;

#if defined(_WIN32) && !defined(_WIN64)
// The shipping 32-bit module: the host's layouts, byte for byte.
static_assert(sizeof(tagGEOPOS) == 16, "tagGEOPOS");
static_assert(offsetof(tagGEOPOS, longitude) == 8, "tagGEOPOS");
static_assert(offsetof(tagEYEPOS3D, longitude) == 8, "tagEYEPOS3D");
static_assert(sizeof(tagVIEW3DOPTIONS) == 64, "tagVIEW3DOPTIONS");
static_assert(offsetof(tagVIEW3DOPTIONS, drawDistance) == 16,
              "tagVIEW3DOPTIONS");
static_assert(sizeof(tagNAMEDBITEM) == 56, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, name) == 4, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, name2) == 8, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, latitude) == 16, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, longitude) == 24, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value32a) == 32, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value32b) == 36, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value8) == 40, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value16a) == 42, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value16b) == 44, "tagNAMEDBITEM");
static_assert(offsetof(tagNAMEDBITEM, value32c) == 48, "tagNAMEDBITEM");
static_assert(sizeof(PluginInfo) == 280, "PluginInfo");
static_assert(offsetof(PluginInfo, name) == 4, "PluginInfo");
static_assert(offsetof(PluginInfo, version) == 84, "PluginInfo");
static_assert(offsetof(PluginInfo, text3) == 114, "PluginInfo");
static_assert(offsetof(PluginInfo, flag) == 276, "PluginInfo");
static_assert(offsetof(tagDRAW2DEVENT, northWest) == 8, "tagDRAW2DEVENT");
static_assert(offsetof(tagDRAW2DEVENT, southEast) == 24, "tagDRAW2DEVENT");
static_assert(offsetof(tagDRAW3DEVENT, blockCount) == 8, "tagDRAW3DEVENT");
static_assert(offsetof(tagDRAW3DEVENT, blockCodes) == 12, "tagDRAW3DEVENT");
static_assert(offsetof(tagDRAW3DEVENT, mode) == 16, "tagDRAW3DEVENT");
static_assert(offsetof(Point3dRecord, height) == 16, "Point3dRecord");
static_assert(offsetof(Point3dRecord, flags) == 24, "Point3dRecord");
static_assert(sizeof(void*) == 4 && sizeof(intptr_t) == 4,
              "callback arguments are 32-bit on the shipping module");
#endif

#endif  // MORVANE_HOST_PLUGINIF_H_
