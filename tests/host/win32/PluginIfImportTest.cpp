// The program is linked against the import library made from PluginIf.def
// and runs with the stand-in host's PluginIf.dll beside it: every call below
// crosses the DLL boundary by name, the way the module's calls reach the
// host. What can go wrong there: a name exported decorated or not at all,
// records returned by value or doubles passed differently on the two sides,
// callbacks into the caller's code.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "host/PluginIf.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"

namespace {

TEST(PluginIfImportTest, HostFunctionsComeFromPluginIfDllByPlainName) {
  HMODULE dll = GetModuleHandleA("PluginIf.dll");
  ASSERT_NE(dll, nullptr) << "PluginIf.dll was not loaded by the import";
  EXPECT_NE(GetProcAddress(dll, "VPI_GetVersion"), nullptr);
  EXPECT_NE(GetProcAddress(dll, "VPI_DrawVideoLines"), nullptr);
  // Neither a decorated name nor the stand-in host's own C++ functions are
  // exported.
  EXPECT_EQ(GetProcAddress(dll, "_VPI_GetVersion"), nullptr);
  EXPECT_EQ(GetProcAddress(dll, "VPI_GetVersion@0"), nullptr);
  // The program holds no copy of the host.
  EXPECT_EQ(GetProcAddress(GetModuleHandleA(nullptr), "VPI_GetVersion"),
            nullptr);
}

TEST(PluginIfImportTest, ResultsCrossTheBoundaryIntact) {
  EXPECT_EQ(VPI_GetVersion(), 700);
  EXPECT_EQ(VPI_Pump(), 1);

  // A double result computed from records passed by pointer: one degree of
  // longitude along the WGS 84 equator.
  tagGEOPOS a = {0.0, 0.0};
  tagGEOPOS b = {0.0, 1.0};
  EXPECT_NEAR(VPI_GetDistance(&a, &b), 111.3195, 1e-3);

  // Records returned by value.
  tagGEOPOS size = VPI_GetBlockSize(standin::kMap3d);
  EXPECT_EQ(size.latitude, 1.0);
  EXPECT_EQ(size.longitude, 1.0);
  tagGEOPOS corner = VPI_CodeToPos(standin::kMap3d, 64799);
  EXPECT_EQ(corner.latitude, 89.0);
  EXPECT_EQ(corner.longitude, 179.0);

  // A record filled through a pointer argument.
  tagGEOPOS tokyo = {35.0, 139.0};
  tagGEOPOS converted = {0.0, 0.0};
  VPI_ConvertDatum(&tokyo, &converted, 0, 0);
  EXPECT_EQ(converted.latitude, 35.0);
  EXPECT_EQ(converted.longitude, 139.0);
}

std::vector<int32_t> gIndices;

int32_t supplyTwoPoints(int32_t index, uintptr_t, intptr_t lParam) {
  gIndices.push_back(index);
  tagGEOPOS* out = reinterpret_cast<tagGEOPOS*>(lParam);
  if (index >= 2) return kPointEnd;
  out->latitude = 35.0 + index;
  out->longitude = 139.0;
  return index == 0 ? kPointBeginLine : kPointContinue;
}

TEST(PluginIfImportTest, HostCallsBackIntoTheCaller) {
  gIndices.clear();
  VPI_DrawVideoLines(standin::kView2d, supplyTwoPoints);
  EXPECT_EQ(gIndices, (std::vector<int32_t>{0, 1, 2}));
}

}  // namespace
