#include "module/DataSetRegistry.h"

#include <cassert>

bool DataSetRegistry::append(LineDataSet* dataSet) {
  assert(dataSet != nullptr);
  return entries_.append(dataSet);
}

std::unique_ptr<LineDataSet> DataSetRegistry::remove(int32_t index) {
  std::unique_ptr<LineDataSet> removed(entries_[index]);
  entries_.removeAt(index);
  return removed;
}

void DataSetRegistry::empty() {
  for (int32_t i = 0; i < entries_.size(); ++i) delete entries_[i];
  entries_.release();
  entries_.setGrowthStep(kGrowthStep);
}

LineDataSet* DataSetRegistry::find(int32_t rowId) const {
  int32_t index = indexOf(rowId);
  return index < 0 ? nullptr : entries_[index];
}

int32_t DataSetRegistry::indexOf(int32_t rowId) const {
  for (int32_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->rowId == rowId) return i;
  }
  return -1;
}
