#include "module/DataSetRegistry.h"

#include <gtest/gtest.h>

#include <vector>

#include "module/PluginModule.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

// Ownership mistakes (a leak, a double destroy) are caught by the
// sanitizer builds, which run these tests with leak checking.

std::vector<int32_t> rowIds(const DataSetRegistry& r) {
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < r.count(); ++i) ids.push_back(r.at(i)->rowId);
  return ids;
}

TEST(DataSetRegistryTest, GrowsOneSlotPerAppendAndKeepsOpeningOrder) {
  DataSetRegistry r;
  for (int32_t id = 1; id <= 5; ++id) {
    ASSERT_TRUE(r.append(new LineDataSet(id)));
    EXPECT_EQ(r.capacity(), id);
  }
  EXPECT_EQ(rowIds(r), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST(DataSetRegistryTest, RemoveClosesUpAndHandsBackOwnership) {
  DataSetRegistry r;
  for (int32_t id = 1; id <= 3; ++id) r.append(new LineDataSet(id));
  LineDataSet* firstEntry = r.at(0);
  std::unique_ptr<LineDataSet> removed = r.remove(0);
  EXPECT_EQ(removed.get(), firstEntry);
  EXPECT_EQ(rowIds(r), (std::vector<int32_t>{2, 3}));
  r.remove(1).reset();
  EXPECT_EQ(rowIds(r), (std::vector<int32_t>{2}));
}

TEST(DataSetRegistryTest, FindSearchesFromIndexZero) {
  DataSetRegistry r;
  LineDataSet* first = new LineDataSet(7);
  LineDataSet* second = new LineDataSet(7);  // never made by the module
  r.append(new LineDataSet(3));
  r.append(first);
  r.append(second);
  EXPECT_EQ(r.find(7), first);
  EXPECT_EQ(r.indexOf(7), 1);
  EXPECT_EQ(r.find(3), r.at(0));
  EXPECT_EQ(r.find(4), nullptr);
  EXPECT_EQ(r.indexOf(4), -1);
  DataSetRegistry none;
  EXPECT_EQ(none.find(1), nullptr);
}

TEST(DataSetRegistryTest, EmptyDestroysEverythingAndReleasesStorage) {
  {
    DataSetRegistry r;
    for (int32_t id = 1; id <= 3; ++id) r.append(new LineDataSet(id));
    r.empty();
    EXPECT_EQ(r.count(), 0);
    EXPECT_EQ(r.capacity(), 0);
    r.append(new LineDataSet(4));
    EXPECT_EQ(r.capacity(), 1);  // growth step 1 again
  }
  // The destructor destroyed what was left (else a leak is reported).
}

TEST(DataSetRegistryTest, AppendFailureLeavesOwnershipWithCaller) {
  resetTestHost();
  DataSetRegistry r;
  r.append(new LineDataSet(1));
  setMemoryBlockLimitForTesting(1);
  LineDataSet* refused = new LineDataSet(2);
  EXPECT_FALSE(r.append(refused));
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(rowIds(r), (std::vector<int32_t>{1}));
  delete refused;
}

// Row ids follow nextRowId, never reused; indexes close up after removals.
TEST(DataSetRegistryTest, RowIdsKeepGrowingWhileIndexesCloseUp) {
  PluginModule module;
  auto open = [&module]() {
    LineDataSet* d = new LineDataSet(module.nextRowId);
    d->depotPath = module.depotFolderPath;
    module.registry.append(d);
    ++module.nextRowId;
    return d;
  };
  open();
  open();
  open();
  module.registry.remove(module.registry.indexOf(2)).reset();
  LineDataSet* fourth = open();
  EXPECT_EQ(fourth->rowId, 4);
  EXPECT_EQ(module.registry.indexOf(4), 2);
  module.registry.empty();
  EXPECT_EQ(open()->rowId, 5);  // not reset when the registry empties
}

}  // namespace
